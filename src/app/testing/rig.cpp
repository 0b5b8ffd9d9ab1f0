#include "app/testing/rig.h"

#include "link/packet.h"

namespace orbus::testing {

Rig::Rig(const std::vector<std::string>& models)
    : chain(models),
      port(chain, loop, loop),
      platform{loop, loop, loop, settings, windows, port, devices},
      program(std::make_unique<Program>(platform)) {
    driveToEnd(true);
}

Rig::Rig(const std::vector<std::string>& models, Routed)
    : chain(models),
      port(chain, loop, loop),
      openDevice([this](const std::string&) -> std::unique_ptr<SerialPort> {
          return std::make_unique<sim::SimSerialPort>(chain, loop, loop);
      }),
      routing(std::make_unique<RoutingPort>(loop, loop, devices,
                                            [this](const std::string& path) { return openDevice(path); })),
      platform{loop, loop, loop, settings, windows, *routing, devices},
      program(std::make_unique<Program>(platform)) {
    driveToEnd(true);
}

void Rig::driveToEnd(bool on) {
    if (!on) {
        main().tasks().driveEachToEnd(nullptr);
        return;
    }
    main().tasks().driveEachToEnd([this](const std::function<bool()>& ended) {
        while (!ended()) {
            const double next = loop.nextEventTime();
            if (next < 0) return;
            loop.runUntil(next);
        }
    });
}

Rig::~Rig() { program.reset(); }

bool Rig::startUp(int comListIndex, int baudOption) {
    program->start();
    open().ComList1.choose(comListIndex);
    open().OBrate[baudOption].click();
    open().Command1.click();
    settle();
    return main().visible();
}

bool Rig::settle(double maxSeconds) {
    const double limit = loop.now() + maxSeconds;
    while (program && program->isLoaded(main()) && !main().linkIdle()) {
        const double next = loop.nextEventTime();
        if (next < 0 || next > limit) return false;
        loop.runUntil(next);
    }
    return true;
}

bool Rig::readStatus() {
    const bool started = main().ReadCameraStatus();
    settle();
    return started;
}

void Rig::openQuietly() {
    port.setSettings({});
    port.open();
    port.setRThreshold(1);
    main().linkControl().echoOn();
    main().refresh().switchOff();
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
