#ifndef OUTPUTOPTIONS_H
#define OUTPUTOPTIONS_H

// The three fixed choice lists of a task's output: file type, file-name format
// and print scaling. Each fills one combo box of the task editor with the
// enumeration value as the items' user-role data.

#include "taskshortcut.h"

#include <QList>
#include <QObject>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;

struct tagSCAN_FILE_TYPE
{
    ScanFileTypeFlag type = FileTypePdf;
    QString label;
    QString icon; // resource path
    bool ocr = false;
};

struct tagFILE_NAME_FORMAT
{
    FileNameFormatFlag format = FileNameDateSequence;
    QString label;
};

struct tagSCALE_PRINT_PAGE
{
    ScalePrintPageFlag style = ScalePrintAuto;
    QString label;
};

class ScanFileType : public QObject
{
public:
    explicit ScanFileType(QObject *parent = nullptr);

    void initialVariant();
    void loadFileTypeList();
    void loadFileTypeList(QString label, QString icon, ScanFileTypeFlag type, bool ocr);
    bool loadFileTypeListToControl(QComboBox *box);
    // The value at a list index (the name is historical); an index outside
    // the list gives plain PDF, the key's read default.
    ScanFileTypeFlag getScanDestID(int index);
    void setFileTypeCurrentIndex(QLabel *label, QPushButton *ocrButton, ScanFileTypeFlag type);
    bool loadIcon(QLabel *label, QPushButton *ocrButton, ScanFileTypeFlag type);

    // True for the values the list offers; a stored value outside them is
    // read as the key's default.
    static bool isListed(int value);

private:
    QList<tagSCAN_FILE_TYPE> m_list;
    QComboBox *m_box = nullptr;
};

class FileNameFormat : public QObject
{
public:
    explicit FileNameFormat(QObject *parent = nullptr);

    void initialVariant();
    void loadFileNameFormatList();
    void loadFileNameFormatList(QString label, FileNameFormatFlag format);
    bool loadFileFormatListToControl(QComboBox *box);
    FileNameFormatFlag getFileNameFormatID(int index);
    void setFileNameFormatCurrentIndex(FileNameFormatFlag format);

    static bool isListed(int value) { return value >= 1 && value <= 4; }

private:
    QList<tagFILE_NAME_FORMAT> m_list;
    QComboBox *m_box = nullptr;
};

class ScalePrintPage : public QObject
{
public:
    explicit ScalePrintPage(QObject *parent = nullptr);

    void initialVariant();
    void loadScaleStyleList();
    // Appends one entry; the name is the one the file-name list uses.
    void loadFileNameFormatList(QString label, ScalePrintPageFlag style);
    bool loadScaleStyleListToControl(QComboBox *box);
    ScalePrintPageFlag getScaleStyleID(int index);
    void setScalePrintPageCurrentIndex(ScalePrintPageFlag style);

    static bool isListed(int value) { return value >= 1 && value <= 3; }

private:
    QList<tagSCALE_PRINT_PAGE> m_list;
    QComboBox *m_box = nullptr;
};

#endif // OUTPUTOPTIONS_H
