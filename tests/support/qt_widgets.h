#pragma once

#include "qt_forms.h"

namespace ampero::testing {

// The widget the Qt backend made for a control, as its Qt class.
template <class Widget = QWidget> Widget *widget(const Control &control)
{
    return qobject_cast<Widget *>(qt::widget(control));
}

} // namespace ampero::testing
