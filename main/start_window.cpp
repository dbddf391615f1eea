#include "form1.h"

namespace ampero {

void showStartWindow()
{
    shared<Form1>().Show();
}

} // namespace ampero
