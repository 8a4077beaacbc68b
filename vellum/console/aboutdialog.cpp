// Minimal version of the about box, to be completed.
#include "aboutdialog.h"

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent) {}
