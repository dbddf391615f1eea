#include "form1.h"

int main(int argc, char *argv[])
{
    return ampero::runApplication(argc, argv, [] { ampero::shared<ampero::Form1>().Show(); });
}
