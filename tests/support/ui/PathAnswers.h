#pragma once
// Window tests: the paths a window asks for (AskPath), answered in the
// dialog's place, in order, with every request kept for the test to look at.
#include <QString>
#include <QtTest>
#include <deque>
#include <vector>

#include "base/ui/PathDialog.h"

namespace ketral::testing {

class PathAnswers {
public:
    PathAnswers()
    {
        SetPathHook([this](const PathRequest& request) {
            requests_.push_back(request);
            if (answers_.empty()) {
                QTest::qFail("a path was asked for that the test did not answer", __FILE__, __LINE__);
                return QString();
            }
            const QString answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
    }
    // An answer left over is a path the test expected to be asked for.
    ~PathAnswers()
    {
        SetPathHook(nullptr);
        if (!answers_.empty()) QTest::qFail("a path the test answered was not asked for", __FILE__, __LINE__);
    }
    PathAnswers(const PathAnswers&) = delete;
    PathAnswers& operator=(const PathAnswers&) = delete;

    // The answer to the next request: the path the user chooses, as typed
    // into the dialog ("": the dialog is cancelled).
    void Answer(const QString& path) { answers_.push_back(path); }
    void Answer(const std::string& path) { Answer(QString::fromStdString(path)); }

    const std::vector<PathRequest>& Requests() const { return requests_; }

private:
    std::deque<QString> answers_;
    std::vector<PathRequest> requests_;
};

}  // namespace ketral::testing
