// The numbers of the resources in ampero.rc, shared by the resource script and the program.
#pragma once

#define AMPERO_ICON_FORM1 1
#define AMPERO_ICON_FORM2 2
#define AMPERO_BITMAP_ABOUT_LOGO 101
