#include "platform/testing/rig.h"

#include "link/packet.h"

namespace orbus::testing {

Rig::Rig(const std::vector<std::string>& models)
    : chain(models),
      port(chain, loop, loop),
      platform{loop, loop, loop, settings, windows, port, devices},
      program(std::make_unique<Program>(platform)) {}

Rig::~Rig() { program.reset(); }

bool Rig::startUp(int comListIndex, int baudOption) {
    program->start();
    open().ComList1.choose(comListIndex);
    open().OBrate[baudOption].click();
    open().Command1.click();
    return main().visible();
}

void Rig::openQuietly() {
    port.setSettings({});
    port.open();
    port.setRThreshold(1);
    program->link.EchoSent = true;
    main().AutoRefreshed.setCaption("Stop");
}

std::vector<std::string> Rig::packetsSince(std::size_t mark) const {
    std::vector<std::string> out;
    // Packets the record dropped after the mark are gone: the rest is listed.
    const std::size_t from = mark > chain.receivedDropped ? mark - chain.receivedDropped : 0;
    for (std::size_t i = from; i < chain.received.size(); ++i) out.push_back(packetText(chain.received[i]));
    return out;
}

std::vector<std::string> Rig::packetsSince(std::size_t mark, const std::string& body) const {
    std::vector<std::string> out;
    for (const std::string& p : packetsSince(mark)) {
        if (p.compare(3, body.size(), body) == 0) out.push_back(p);
    }
    return out;
}

}  // namespace orbus::testing
