#ifndef DEVICELOGPACKAGE_H
#define DEVICELOGPACKAGE_H

#include <QByteArray>
#include <QList>
#include <QString>

// The scanner's logs as text. The device sends big-endian UTF-16; a log of
// an odd byte count loses its last byte.
namespace devicelog {

// The logs of "corvan.eklog", in their order in the file.
const QList<int> &packageKinds();
const char *packageFileName();

// One log read through the console's facade and decoded; empty when the
// read failed, and `rc` then holds the facade's code.
QString readText(int kind, int &rc);
// The device's UTF-16BE bytes as text (size / 2 code units).
QString decode(const QByteArray &bytes);

// Writes the package into an existing folder, replacing an earlier one only
// once the new one is complete. A log that cannot be read gives an empty
// block; when none can be read nothing is written. 0, -50 for a folder that
// is not there or a file that cannot be written, else the first log's code.
int writePackage(const QString &folder);

} // namespace devicelog

#endif
