#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "document/document_writer.h"
#include "editor/recovery_copy.h"
#include "editor_fixture.h"

namespace brenvale::test {

// A fake host that also keeps the recovery timer.
class RecoveryHost : public FakeHost {
public:
    void SetRecoveryTimer(int delayMs) override {
        recoveryDelay = delayMs;
        ++recoveryArms;
    }
    int recoveryDelay = -1;
    int recoveryArms = 0;
};

// An editor with a recovery copy in a folder of its own and a clock the test moves (the
// real one without).
struct RecoveringEditor {
    RecoveringEditor(const std::string& folder, RecoveryTime* clock, Settings settings = {})
        : editor(host, std::move(settings)) {
        host.geometry = {376, 573, 200, 300, 129};
        RecoveryOptions options;
        if (clock) {
            options.clock = [clock] { return *clock; };
        }
        editor.session().enableRecovery(std::make_unique<RecoveryCopy>(folder, options));
    }
    RecoveryCopy& copy() { return *editor.session().recovery(); }
    RecoveryHost host;
    Editor editor;
};

inline std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

}  // namespace brenvale::test
