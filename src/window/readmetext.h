#pragma once

#include <QByteArray>

// The help text as readme.txt holds it: UTF-8, every line ended by CR LF.
QByteArray ReadmeText();
