// The file dialog through which the windows ask for paths, answered in the
// real dialog: what it offers for each kind of path and how its answer is
// read; and the hook that answers in its place.
#include <QFileSystemModel>
#include <QLineEdit>
#include <QtTest>

#include "base/ui/PathDialog.h"
#include "support/TempDir.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/TestMain.h"

using namespace ketral;

namespace {

// Waits until the dialog has listed `dir`. The dialog reads its directory
// on a thread of its own and gets the focus when its window is activated,
// both through events that come when they come; the tests answer once the
// list is there, as a user does, by typing into the name box and accepting
// with no event in between, so that neither can change the answer.
// (QFileDialog::selectFile leaves a name box that has the focus as it is:
// answering with it raced the window's activation.) `loaded` was connected
// to the dialog's model before any event ran.
void WaitForDirectory(QSignalSpy& loaded, const QString& dir)
{
    const auto holds = [&] {
        for (const QList<QVariant>& signal : loaded)
            if (QDir::cleanPath(signal.at(0).toString()) == QDir::cleanPath(dir)) return true;
        return false;
    };
    // The time-out only guards against a list that never arrives.
    while (!holds()) QVERIFY2(loaded.wait(30000), "the dialog never listed its directory");
}

std::unique_ptr<QSignalSpy> SpyOnDirectoryLoads(QFileDialog& dialog)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    return model ? std::make_unique<QSignalSpy>(model, &QFileSystemModel::directoryLoaded) : nullptr;
}

// Types `text` into the dialog's name box and presses its button: the
// dialog's own accept, which checks the name as a user's click does.
void TypeAndAccept(QFileDialog& dialog, const QString& text)
{
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(text);
    static_cast<QDialog&>(dialog).accept();
}

}  // namespace

class PathDialogTest : public QObject {
    Q_OBJECT

    testing::TempDir dir_;
    QString start_;

private slots:
    void initTestCase()
    {
        start_ = QDir::cleanPath(QString::fromStdString(dir_.mkdir("start")));
        dir_.mkdir("start/in");
        dir_.write("start/one.png", "not read");
    }

    void eachKindOfPathInTheDialog()
    {
        const struct {
            const char* what;
            PathKind kind;
            QString suggested, typed, answer;
            QFileDialog::FileMode mode;
            QFileDialog::AcceptMode accept;
        } cases[] = {
            {"a directory", PathKind::Directory, {}, "in", start_ + "/in", QFileDialog::Directory,
             QFileDialog::AcceptOpen},
            {"a picture", PathKind::Picture, {}, "one.png", start_ + "/one.png", QFileDialog::ExistingFile,
             QFileDialog::AcceptOpen},
            {"a new picture", PathKind::NewPicture, "0001.png", "view", start_ + "/view.png", QFileDialog::AnyFile,
             QFileDialog::AcceptSave},
            {"a new picture with its ending", PathKind::NewPicture, {}, "view.PNG", start_ + "/view.PNG",
             QFileDialog::AnyFile, QFileDialog::AcceptSave},
        };
        for (const auto& c : cases) {
            const PathRequest request{QStringLiteral("Export tile"), start_, c.suggested, c.kind};
            const std::unique_ptr<QFileDialog> dialog = MakePathDialog(request);
            const auto loaded = SpyOnDirectoryLoads(*dialog);
            QVERIFY2(loaded, c.what);
            QCOMPARE(dialog->windowTitle(), request.caption);
            QCOMPARE(dialog->fileMode(), c.mode);
            QCOMPARE(dialog->acceptMode(), c.accept);
            QCOMPARE(dialog->testOption(QFileDialog::ShowDirsOnly), c.kind == PathKind::Directory);
            if (c.kind != PathKind::Directory)
                QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("PNG pictures (*.png)")});
            dialog->show();
            WaitForDirectory(*loaded, start_);
            if (QTest::currentTestFailed()) return;
            QCOMPARE(dialog->directory().absolutePath(), start_);
            if (!c.suggested.isEmpty()) QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), c.suggested);
            TypeAndAccept(*dialog, c.typed);
            QVERIFY2(!dialog->isVisible(), c.what);
            QCOMPARE(PathAnswer(request, *dialog), c.answer);
        }
    }

    void aCancelledDialogAnswersNothing()
    {
        const PathRequest request{QStringLiteral("Export picture"), start_, {}, PathKind::NewPicture};
        const std::unique_ptr<QFileDialog> dialog = MakePathDialog(request);
        dialog->show();
        dialog->reject();
        QCOMPARE(PathAnswer(request, *dialog), QString());
    }

    void askPathRunsTheDialogAndReadsItsAnswer()
    {
        const PathRequest request{QStringLiteral("Export picture"), start_, {}, PathKind::NewPicture};
        std::unique_ptr<QSignalSpy> loaded;
        testing::DialogAnswer<QFileDialog> typed(
            [&](QFileDialog* dialog) {
                QVERIFY(loaded);
                WaitForDirectory(*loaded, start_);
                if (!QTest::currentTestFailed()) TypeAndAccept(*dialog, QStringLiteral("whole"));
            },
            [&](QFileDialog* dialog) { loaded = SpyOnDirectoryLoads(*dialog); });
        QCOMPARE(AskPath(request), start_ + "/whole.png");
        QVERIFY(typed.Answered());
    }

    void aHookAnswersInTheDialogsPlace()
    {
        std::vector<PathRequest> asked;
        QString answer;
        SetPathHook([&](const PathRequest& request) {
            asked.push_back(request);
            return answer;
        });
        const struct {
            PathKind kind;
            QString answer, path;
        } cases[] = {
            {PathKind::NewPicture, "/p/view", "/p/view.png"},  // read as the dialog's answer
            {PathKind::NewPicture, "/p/view.png", "/p/view.png"},
            {PathKind::Directory, "/p/view", "/p/view"},
            {PathKind::Picture, "/p/one", "/p/one"},
            {PathKind::NewPicture, "", ""},  // cancelled
        };
        for (const auto& c : cases) {
            answer = c.answer;
            QCOMPARE(AskPath({QStringLiteral("Export tile"), QStringLiteral("/start"), QStringLiteral("0001.png"), c.kind}),
                     c.path);
            QCOMPARE(asked.back().caption, QStringLiteral("Export tile"));
            QCOMPARE(asked.back().startDir, QStringLiteral("/start"));
            QCOMPARE(asked.back().suggestedName, QStringLiteral("0001.png"));
            QCOMPARE(asked.back().kind, c.kind);
        }
        SetPathHook(nullptr);
        QCOMPARE(asked.size(), std::size_t{5});
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

KETRAL_TEST_MAIN(PathDialogTest)
#include "PathDialogTest.moc"
