#include "captured_messages.h"

#include "message_box.h"

namespace ampero::testing {

CapturedMessages::CapturedMessages()
{
    setMessageBoxCapture([this](const QString &text, const QString &title) {
        shown_.append({text, title});
    });
}

CapturedMessages::~CapturedMessages()
{
    setMessageBoxCapture({});
}

QStringList CapturedMessages::texts() const
{
    QStringList texts;
    for (const ShownMessage &message : shown_)
        texts.append(message.text);
    return texts;
}

} // namespace ampero::testing
