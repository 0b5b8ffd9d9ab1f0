// The direct-command console: any text typed or pasted, then Enter.
// Properties: the box holds upper-case hexadecimal digits only; Enter with
// an even number of digits puts exactly their bytes on the wire and logs
// that line, Enter with an odd number puts nothing on the wire.
#include "fuzz_support.h"
#include "link/packet.h"
#include "platform/text.h"
#include "app/testing/rig.h"

using namespace orbus;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static testing::Rig* rig = [] {
        auto* r = new testing::Rig({"KBM-R05"});
        r->openQuietly();
        return r;
    }();
    FrmMain& m = rig->main();
    fuzz::Input in(data, size);
    // Nothing kept from earlier inputs: memory an input leaves behind sets
    // off a leak check, and the records would only grow.
    rig->chain.forgetReceived();
    m.DirectText.setText("");
    while (!in.empty()) {
        const std::uint8_t how = in.byte();
        const Bytes piece = in.piece(48);
        const std::string text(piece.begin(), piece.end());
        if (how & 1) {
            m.DirectText.setText(m.DirectText.text() + text);  // pasted
        } else {
            for (char c : text) {
                if (c == '\r') continue;  // Enter comes below, checked
                m.DirectText.type(std::string(1, c));
            }
        }
        for (char c : m.DirectText.text()) {
            fuzz::check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'), "the console holds hexadecimal digits only");
        }
        if (!(how & 2)) continue;
        const std::string digits = m.DirectText.text();
        const std::size_t before = rig->port.written().size();
        m.cameraLink().clearLogs();
        m.DirectText.type("\r");
        const Bytes& w = rig->port.written();
        const Bytes sent(w.begin() + static_cast<long>(before), w.end());
        if (digits.size() % 2 != 0) {
            fuzz::check(sent.empty(), "an odd number of digits sends nothing");
            fuzz::check(m.DirectText.text() == digits, "an odd number of digits stays in the box");
            continue;
        }
        fuzz::check(sent.size() == digits.size() / 2, "every pair of digits is one byte on the wire");
        for (std::size_t i = 0; i < sent.size(); ++i) {
            fuzz::check(hex2(sent[i]) == digits.substr(2 * i, 2), "the bytes are the digits typed");
        }
        std::string line = trafficLine(sent);
        trimLog(line);
        fuzz::check(m.SendText.text() == line, "the command log shows the line sent");
        fuzz::check(m.DirectText.text().empty(), "the box is emptied");
        rig->port.clearWritten();
    }
    // Replies still on their way are delivered now, not piled up for later inputs.
    rig->run(0.1);
    return 0;
}
