// The window tests are one program, ui_tests: each test source registers its test class under
// the name its ctest test has, and the program's first argument picks the one to run
// (ui_tests ui_window_tests [QTest arguments...]). One program links once and runs moc once
// where a program per source did both for each.
#pragma once

#include <QApplication>
#include <QTest>

namespace brenvale::test {

// Runs one test as a main function would: argv[0] is the program, the rest the QTest arguments.
using UiTestMain = int (*)(int argc, char** argv);

// Adds a test to the program's list; returns true so that a static can hold the call.
bool RegisterUiTest(const char* name, UiTestMain main);

// What QTEST_MAIN does: a QApplication, then the class's test functions.
template <class TestObject>
int RunUiTestClass(int argc, char** argv) {
    QTest::Internal::callInitMain<TestObject>();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestObject test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

}  // namespace brenvale::test

// BRENVALE_UI_TEST(ui_window_tests, WindowTest) in place of QTEST_MAIN(WindowTest).
#define BRENVALE_UI_TEST(name, TestObject)                               \
    [[maybe_unused]] static const bool brenvaleUiTestRegistered_##name = \
        ::brenvale::test::RegisterUiTest(#name, &::brenvale::test::RunUiTestClass<TestObject>)

// For a test with a main function of its own (int function(int argc, char** argv)).
#define BRENVALE_UI_TEST_MAIN(name, function)                            \
    [[maybe_unused]] static const bool brenvaleUiTestRegistered_##name = \
        ::brenvale::test::RegisterUiTest(#name, &function)
