#pragma once
// A one-line label that never asks for more room than it gets: a text too
// long for its width is cut at the end with "…" and shown whole in its
// tooltip. A status bar field of this kind cannot widen the window it sits
// in, however long the message.
#include <QLabel>
#include <QString>

namespace ketral {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The whole text; the label shows as much of it as fits.
    void SetFullText(const QString& text);
    const QString& FullText() const { return full_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowFitting();

    QString full_;
};

}  // namespace ketral
