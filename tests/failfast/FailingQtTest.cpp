// A window test program that is meant to fail, to prove that a failing test
// fails fast and quietly (see support/ui/TestMain.h): its test functions
// throw, abort or wait to be ended, as KETRAL_FAILING asks. ctest expects it
// to fail within seconds, and check-fail-fast.sh checks what it prints and
// how it ends.
#include <QEventLoop>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/ui/TestMain.h"

namespace {

bool Asked(const char* mode) { return qEnvironmentVariable("KETRAL_FAILING") == QLatin1String(mode); }

}  // namespace

class FailingTest : public QObject {
    Q_OBJECT

private slots:
    void throwsAnError() { throw std::runtime_error("cannot read /nowhere/one.png"); }

    // Shows that the functions after the exception still run.
    void runsAfterTheException() {}

    void aborts()
    {
        if (Asked("abort")) std::abort();
    }

    void waitsToBeEnded()
    {
        if (!Asked("wait")) return;
        std::puts("waiting");
        std::fflush(stdout);
        QEventLoop().exec();
    }
};

KETRAL_TEST_MAIN(FailingTest)
#include "FailingQtTest.moc"
