#ifndef PRINTSHORTCUT_H
#define PRINTSHORTCUT_H

// Prints the button tasks as a numbered index card to keep beside the
// scanner, one card or up to 2 x 3 copies on a sheet.

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QPushButton;

class Ui_PrintShortcutDialog
{
public:
    QLabel *labelPrinterName = nullptr;
    QLineEdit *lineEditPrinterName = nullptr;
    QPushButton *pushButtonSettings = nullptr;
    QGroupBox *groupBoxOption = nullptr;
    QCheckBox *checkBoxPrintOnePage = nullptr;
    QLabel *labelRow = nullptr;
    QComboBox *comboBoxRow = nullptr;
    QLabel *labelColumn = nullptr;
    QComboBox *comboBoxColumn = nullptr;
    QPushButton *pushButtonPreview = nullptr;
    QPushButton *pushButtonPrinting = nullptr;
    QPushButton *pushButtonCancel = nullptr;

    void setupUi(QDialog *dialog);
};

class PrintShortcutDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kCellWidth = 200;
    static constexpr int kCellHeight = 380;
    static constexpr int kMargin = 5;

    PrintShortcutDialog(QStringList &names, QWidget *parent = nullptr);
    ~PrintShortcutDialog() override;

    // Rows and columns a printable area offers.
    static QPair<int, int> gridFor(int width, int height);
    // Top-left corners of the cards, row by row; empty for a grid outside 2 x 3.
    static QList<QPoint> cardPositions(int width, int height, bool several, int rows, int columns);

    void loadRowColumnData(int rows, int columns);
    void printPreview(QPainter &painter, int x, int y, int width, int height, int margin);
    // The offered grid for a printable area, as the printer set-up applies it.
    void applyPrintableArea(int width, int height);
    QPrinter *printer() const { return m_pPrinter; }
    Ui_PrintShortcutDialog *form() const { return ui; }

public slots:
    void printDocument(QPrinter *printer);
    void clickedBtnSettings();
    void clickedBtnPreview();
    void clickedBtnPrinting();
    void clickedChkPrintOnePage();

private:
    void initDialog();
    void loadWordingList();
    void loadDefaultPrinter();
    void connectMessages();

    Ui_PrintShortcutDialog *ui;
    QStringList &m_names;
    QPrinter *m_pPrinter;
};

#endif // PRINTSHORTCUT_H
