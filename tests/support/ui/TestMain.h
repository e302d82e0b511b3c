#pragma once
// The main of every Qt Test executable: KETRAL_TEST_MAIN(TestClass) in place
// of QTEST_MAIN, or RunTests for several test objects in one program.
//
// A failing test fails fast and quietly:
// - an exception that escapes a test function (or init, cleanup, ...) is
//   that function's failure, reported with its message
//   ("FAIL!  : Class::function() unexpected exception: <message>"), and the
//   next functions run; without this Qt Test re-throws it out of qExec and
//   the program aborts;
// - Qt Test's crash handler is off (-nocrashhandler): it catches SIGABRT
//   and SIGTERM to print a stack trace through a debugger, which on a
//   loaded machine can go on for the whole time limit, or for an hour after
//   a SIGTERM. A crash, an abort or a SIGTERM ends the program at once.
#include <QApplication>
#include <QtTest>
#include <exception>
#include <initializer_list>
#include <string>
#include <vector>


namespace ketral::testing {

// Reports the exception being handled as the failure of the test function
// that is running.
inline void FailOnException()
{
    std::string what;
    try {
        throw;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "not a std::exception";
    }
    QTest::qFail(("unexpected exception: " + what).c_str(), __FILE__, __LINE__);
}

// A test object of class Test whose slots Qt Test calls inside a catch: its
// meta-object is Test's, with the function that calls the slots wrapped.
template <class Test>
class ExceptionsAsFailures final : public Test {
public:
    const QMetaObject* metaObject() const override { return &Meta(); }

private:
    static void CallSlot(QObject* object, QMetaObject::Call call, int id, void** args)
    {
        try {
            Test::staticMetaObject.d.static_metacall(object, call, id, args);
        } catch (...) {
            FailOnException();
        }
    }
    static const QMetaObject& Meta()
    {
        static const QMetaObject meta = [] {
            QMetaObject m = Test::staticMetaObject;
            m.d.static_metacall = &CallSlot;
            return m;
        }();
        return meta;
    }
};

// Runs the test objects in turn with the program's arguments; returns
// non-zero when any test failed.
inline int RunTests(std::initializer_list<QObject*> tests, int argc, char** argv)
{
    std::vector<char*> args(argv, argv + argc);
    static char noCrashHandler[] = "-nocrashhandler";
    args.push_back(noCrashHandler);
    int failed = 0;
    for (QObject* test : tests) failed |= QTest::qExec(test, static_cast<int>(args.size()), args.data());
    return failed == 0 ? 0 : 1;
}

}  // namespace ketral::testing

#define KETRAL_TEST_MAIN(TestClass)                                    \
    int main(int argc, char** argv)                                    \
    {                                                                  \
        QApplication app(argc, argv);                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                       \
        ketral::testing::ExceptionsAsFailures<TestClass> test;         \
        return ketral::testing::RunTests({&test}, argc, argv);         \
    }
