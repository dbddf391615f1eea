#pragma once

#include <QList>
#include <QString>

namespace ampero::testing {

struct ShownMessage
{
    QString text;
    QString title;
};

// Captures every message box shown while it lives, instead of showing it.
class CapturedMessages
{
public:
    CapturedMessages();
    ~CapturedMessages();
    CapturedMessages(const CapturedMessages &) = delete;
    CapturedMessages &operator=(const CapturedMessages &) = delete;

    const QList<ShownMessage> &shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

private:
    QList<ShownMessage> shown_;
};

} // namespace ampero::testing
