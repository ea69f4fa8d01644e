// Settings kept between runs.
#include "form1.h"

void Form1::LoadSettings() {}
void Form1::SaveSettings() {}
void Form1::RemoveSettings() {}
