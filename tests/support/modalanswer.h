#ifndef MODALANSWER_H
#define MODALANSWER_H

// Widget tests answer modal boxes and dialogs the way a user would: a timer
// finds the active modal widget, records what it showed and presses a button.
// Header-only so every widget test folder can include it.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace testsupport {

struct ModalSeen {
    bool shown = false;
    QString title;
    QString text;
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString className;
};

// Answers every modal widget that appears while it lives (not only the first):
// `answer(widget, seen)` decides what to do; the default presses the button
// whose text equals `buttonText`, else rejects. Each box seen is recorded.
class ModalAnswerer : public QObject
{
public:
    using Handler = std::function<void(QWidget *, const ModalSeen &)>;

    explicit ModalAnswerer(const QString &buttonText = QString(), int intervalMs = 0)
        : m_buttonText(buttonText)
    {
        m_timer.setInterval(intervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    explicit ModalAnswerer(Handler handler, int intervalMs = 0) : ModalAnswerer(QString(), intervalMs)
    {
        m_handler = std::move(handler);
    }

    const QList<ModalSeen> &seen() const { return m_seen; }
    int count() const { return m_seen.size(); }
    ModalSeen last() const { return m_seen.isEmpty() ? ModalSeen() : m_seen.last(); }
    void setButtonText(const QString &text) { m_buttonText = text; }
    void stop() { m_timer.stop(); }

    static ModalSeen describe(QWidget *w)
    {
        ModalSeen s;
        s.shown = true;
        s.className = QString::fromLatin1(w->metaObject()->className());
        s.title = w->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            s.text = box->text();
            s.icon = box->icon();
            if (box->defaultButton())
                s.defaultButton = box->defaultButton()->text();
            for (QAbstractButton *b : box->buttons())
                s.buttons << b->text();
        }
        return s;
    }

    // Presses the button with this text (message boxes and dialog button
    // boxes alike); false when there is none.
    static bool press(QWidget *w, const QString &text)
    {
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            for (QAbstractButton *b : box->buttons())
                if (b->text() == text) {
                    b->click();
                    return true;
                }
            return false;
        }
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
            if (b->text() == text && b->isEnabled()) {
                b->click();
                return true;
            }
        return false;
    }

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || w == m_lastHandled)
            return;
        m_lastHandled = w;
        ModalSeen s = describe(w);
        m_seen << s;
        if (m_handler) {
            m_handler(w, s);
            return;
        }
        if (m_buttonText.isEmpty() || !press(w, m_buttonText)) {
            if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
            else
                w->close();
        }
    }

    QTimer m_timer;
    QString m_buttonText;
    Handler m_handler;
    QList<ModalSeen> m_seen;
    QPointer<QWidget> m_lastHandled;
};

// Answers a QFileDialog (non-native; tests run offscreen) with a path, or
// rejects it when the path is empty.
inline void answerFileDialog(QWidget *w, const QString &path)
{
    auto *fd = qobject_cast<QFileDialog *>(w);
    if (!fd)
        return;
    if (path.isEmpty()) {
        fd->reject();
        return;
    }
    fd->selectFile(path);
    // accept() is protected in QFileDialog; it is public through QDialog.
    static_cast<QDialog *>(fd)->accept();
}

} // namespace testsupport

#endif
