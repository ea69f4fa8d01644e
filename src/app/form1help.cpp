// Help and the readme.
#include "form1.h"

void Form1::WriteReadme() {}
void Form1::ShowHelp() {}
