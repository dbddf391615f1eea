#include "forms.h"

int main(int argc, char *argv[])
{
    return ampero::runApplication(argc, argv, ampero::showStartWindow);
}
