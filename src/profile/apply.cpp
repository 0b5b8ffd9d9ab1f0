#include "profile/apply.h"

#include <algorithm>

#include "panel/commands.h"

namespace orbus::profile {

namespace {

// Why a setting did not take, in the apply report.
const char* whyNot(CommandEnd end) {
    switch (end) {
    case CommandEnd::Completed: return "set";
    case CommandEnd::NotExecutable: return "the camera cannot carry it out now";
    case CommandEnd::SyntaxError: return "the camera does not know the command";
    case CommandEnd::BufferFull: return "the camera stayed busy (buffer full)";
    case CommandEnd::NoReply: return "no completion came";
    case CommandEnd::NotSent: return "not sent: the port did not take it";
    }
    return "?";
}

}  // namespace

std::vector<Step> applyPlan(const Values& profile) {
    std::vector<Step> plan;
    for (const Stage stage : {Stage::Mode, Stage::Switch, Stage::Value, Stage::Position}) {
        for (const SettingDef& s : catalogue()) {
            const auto it = profile.find(s.key);
            if (s.stage != stage || it == profile.end() || !s.inForce(profile)) continue;
            double pause = 0;
            // Bright exposure is entered from full auto, after a second to settle.
            if (std::string_view(s.key) == "exposure.mode" && it->second == 0x0D) {
                const auto rows = panel::commandRows(ORBUS_CONTROL(FullAuto), panel::Event::Click);
                if (!rows.empty()) {
                    plan.push_back({&s, std::vector<int>(rows.front()->body.begin(), rows.front()->body.end()), 0});
                    pause = 1.0;
                }
            }
            for (std::vector<int>& body : s.packets(profile)) {
                plan.push_back({&s, std::move(body), pause});
                pause = 0;
            }
        }
    }
    return plan;
}

std::vector<Difference> compare(const Values& profile, const Values& camera) {
    std::vector<Difference> rows;
    for (const SettingDef& s : catalogue()) {
        const auto p = profile.find(s.key);
        if (p == profile.end()) continue;
        const auto c = camera.find(s.key);
        Difference d{&s, p->second, std::nullopt, true};
        if (c != camera.end()) {
            d.camera = c->second;
            d.differs = c->second != p->second;
        } else {
            d.automatic = !s.inForce(camera);
        }
        rows.push_back(d);
    }
    std::stable_partition(rows.begin(), rows.end(), [](const Difference& d) { return d.differs; });
    return rows;
}

int differing(const std::vector<Difference>& rows) {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const Difference& d) { return d.differs; }));
}

link::Async<std::vector<CameraReport>> applyProfile(ApplyLink& link, Values profile, std::vector<int> cameras,
                                                    CancelFlag cancel, std::function<void(const Progress&)> progress) {
    const std::vector<Step> plan = applyPlan(profile);
    const bool withPositions = holdsPositions(profile);
    const int total = static_cast<int>(plan.size());
    auto tell = [&progress](int camera, int done, int all, std::string setting) {
        if (progress) progress(Progress{camera, done, all, std::move(setting)});
    };
    std::vector<CameraReport> reports;
    bool portGone = false;
    for (const int camera : cameras) {
        if (*cancel || portGone) break;
        CameraReport report;
        report.camera = camera;
        report.total = total;
        for (int i = 0; i < total; ++i) {
            const Step& step = plan[static_cast<std::size_t>(i)];
            if (*cancel) break;
            if (link.lacks(camera, *step.setting)) {
                report.refused.push_back(std::string(step.setting->label) + ": left out, the camera lacks it");
                continue;
            }
            tell(camera, i, total, step.setting->label);
            if (step.pauseBefore > 0) co_await link.pause(step.pauseBefore);
            if (*cancel) break;
            const CommandEnd end = co_await link.command(camera, step.body);
            if (end != CommandEnd::NotSent) ++report.sent;
            if (end == CommandEnd::Completed) {
                ++report.completed;
            } else {
                report.refused.push_back(std::string(step.setting->label) + ": " + whyNot(end));
            }
            if (end == CommandEnd::NotSent) {
                // Nothing more can go out: the other cameras are not started.
                portGone = true;
                break;
            }
        }
        report.cancelled = *cancel && report.completed + static_cast<int>(report.refused.size()) < total;
        // Cancelled or not, a camera the apply reached is read back: the
        // operator sees what it holds now and what still differs.
        if (!portGone) {
            tell(camera, total, total, "reading back");
            const std::optional<Values> now = co_await link.read(camera, withPositions);
            if (now) {
                report.readBack = true;
                // What the camera lacks was left out, and is not compared either.
                Values meant = profile;
                for (const SettingDef& s : catalogue()) {
                    if (link.lacks(camera, s)) meant.erase(s.key);
                }
                report.after = compare(meant, *now);
            }
        }
        tell(camera, report.completed, total, "");
        reports.push_back(std::move(report));
    }
    co_return reports;
}

}  // namespace orbus::profile
