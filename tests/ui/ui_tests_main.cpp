// The main function of ui_tests: runs the window test its first argument names.
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "ui_test_registry.h"

namespace brenvale::test {
namespace {

std::map<std::string, UiTestMain>& RegisteredUiTests() {
    // Made on first use: the sources register their tests while statics are initialised, in an
    // order nothing fixes.
    static std::map<std::string, UiTestMain> tests;
    return tests;
}

}  // namespace

bool RegisterUiTest(const char* name, UiTestMain main) {
    bool added = RegisteredUiTests().emplace(name, main).second;
    if (!added) {
        std::fprintf(stderr, "ui_tests: the test %s is registered twice\n", name);
        std::abort();
    }
    return true;
}

}  // namespace brenvale::test

int main(int argc, char** argv) {
    using brenvale::test::RegisteredUiTests;
    auto found = argc > 1 ? RegisteredUiTests().find(argv[1]) : RegisteredUiTests().end();
    if (found == RegisteredUiTests().end()) {
        if (argc > 1) {
            std::fprintf(stderr, "ui_tests: no test named %s\n", argv[1]);
        }
        std::fprintf(stderr, "Usage: ui_tests TEST [QTest arguments...]\nThe tests:\n");
        for (const auto& [name, main] : RegisteredUiTests()) {
            std::fprintf(stderr, "  %s\n", name.c_str());
        }
        return 2;
    }
    // The test sees the program and its own arguments, as it did as a program of its own, and
    // keeps the application name it had then (the program's name was the test's).
    std::vector<char*> args{argv[0]};
    args.insert(args.end(), argv + 2, argv + argc);
    args.push_back(nullptr);
    QCoreApplication::setApplicationName(QString::fromStdString(found->first));
    return found->second(argc - 1, args.data());
}
