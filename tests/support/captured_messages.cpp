#include "captured_messages.h"

#include "qt_forms.h"

namespace ampero::testing {

CapturedMessages::CapturedMessages()
{
    qt::setMessageBoxCapture([this](const QString &text, const QString &title) {
        shown_.append({text, title});
    });
}

CapturedMessages::~CapturedMessages()
{
    qt::setMessageBoxCapture({});
}

QStringList CapturedMessages::texts() const
{
    QStringList texts;
    for (const ShownMessage &message : shown_)
        texts.append(message.text);
    return texts;
}

} // namespace ampero::testing
