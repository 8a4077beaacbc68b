#include "printshortcut.h"

#include "launcherprompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

void Ui_PrintShortcutDialog::setupUi(QDialog *dialog)
{
    dialog->setObjectName("PrintShortcutDialog");
    dialog->resize(400, 210);
    dialog->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    auto *v = new QVBoxLayout(dialog);
    auto *top = new QHBoxLayout();
    labelPrinterName = new QLabel(dialog);
    labelPrinterName->setObjectName("labelPrinterName");
    lineEditPrinterName = new QLineEdit(dialog);
    lineEditPrinterName->setObjectName("lineEditPrinterName");
    lineEditPrinterName->setReadOnly(true);
    pushButtonSettings = new QPushButton(dialog);
    pushButtonSettings->setObjectName("pushButtonSettings");
    top->addWidget(labelPrinterName);
    top->addWidget(lineEditPrinterName);
    top->addWidget(pushButtonSettings);
    v->addLayout(top);
    groupBoxOption = new QGroupBox(dialog);
    groupBoxOption->setObjectName("groupBoxOption");
    auto *grid = new QGridLayout(groupBoxOption);
    checkBoxPrintOnePage = new QCheckBox(groupBoxOption);
    checkBoxPrintOnePage->setObjectName("checkBoxPrintOnePage");
    grid->addWidget(checkBoxPrintOnePage, 0, 0, 1, 2);
    labelRow = new QLabel(groupBoxOption);
    labelRow->setObjectName("labelRow");
    comboBoxRow = new QComboBox(groupBoxOption);
    comboBoxRow->setObjectName("comboBoxRow");
    grid->addWidget(labelRow, 4, 0);
    grid->addWidget(comboBoxRow, 4, 1);
    labelColumn = new QLabel(groupBoxOption);
    labelColumn->setObjectName("labelColumn");
    comboBoxColumn = new QComboBox(groupBoxOption);
    comboBoxColumn->setObjectName("comboBoxColumn");
    grid->addWidget(labelColumn, 5, 0);
    grid->addWidget(comboBoxColumn, 5, 1);
    v->addWidget(groupBoxOption);
    auto *bottom = new QHBoxLayout();
    bottom->addStretch();
    pushButtonPreview = new QPushButton(dialog);
    pushButtonPreview->setObjectName("pushButtonPreview");
    pushButtonPrinting = new QPushButton(dialog);
    pushButtonPrinting->setObjectName("pushButtonPrinting");
    pushButtonPrinting->setDefault(true);
    pushButtonCancel = new QPushButton(dialog);
    pushButtonCancel->setObjectName("pushButtonCancel");
    bottom->addWidget(pushButtonPreview);
    bottom->addWidget(pushButtonPrinting);
    bottom->addWidget(pushButtonCancel);
    v->addLayout(bottom);
    QWidget::setTabOrder(lineEditPrinterName, pushButtonSettings);
    QWidget::setTabOrder(pushButtonSettings, checkBoxPrintOnePage);
    QWidget::setTabOrder(checkBoxPrintOnePage, comboBoxRow);
    QWidget::setTabOrder(comboBoxRow, comboBoxColumn);
    QWidget::setTabOrder(comboBoxColumn, pushButtonPreview);
    QWidget::setTabOrder(pushButtonPreview, pushButtonPrinting);
    QWidget::setTabOrder(pushButtonPrinting, pushButtonCancel);
}

PrintShortcutDialog::PrintShortcutDialog(QStringList &names, QWidget *parent)
    : QDialog(parent), ui(new Ui_PrintShortcutDialog), m_names(names),
      m_pPrinter(new QPrinter(QPrinter::ScreenResolution))
{
    ui->setupUi(this);
    initDialog();
    centreOnDesktop(this);
}

PrintShortcutDialog::~PrintShortcutDialog()
{
    delete ui;
    delete m_pPrinter;
}

void PrintShortcutDialog::initDialog()
{
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
               Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    loadWordingList();
    loadDefaultPrinter();
    loadRowColumnData(2, 3);
    clickedChkPrintOnePage();
    connectMessages();
}

void PrintShortcutDialog::loadWordingList()
{
    setWindowTitle(tr("打印CorvanDeskscope快捷方式索引"));
    ui->labelPrinterName->setText(tr("打印机名称："));
    ui->pushButtonSettings->setText(tr("设置..."));
    ui->groupBoxOption->setTitle(tr("选项"));
    ui->checkBoxPrintOnePage->setText(tr("在一张纸上打印多重标签"));
    ui->labelRow->setText(tr("行："));
    ui->labelColumn->setText(tr("列："));
    ui->pushButtonPreview->setText(tr("预览"));
    ui->pushButtonPrinting->setText(tr("打印"));
    ui->pushButtonCancel->setText(tr("取消"));
}

void PrintShortcutDialog::loadDefaultPrinter()
{
    const QString name = QPrinterInfo::defaultPrinterName();
    ui->lineEditPrinterName->setText(name);
    m_pPrinter->setPrinterName(name);
}

void PrintShortcutDialog::connectMessages()
{
    connect(ui->pushButtonSettings, &QPushButton::clicked, this,
            &PrintShortcutDialog::clickedBtnSettings);
    connect(ui->pushButtonPreview, &QPushButton::clicked, this,
            &PrintShortcutDialog::clickedBtnPreview);
    connect(ui->pushButtonPrinting, &QPushButton::clicked, this,
            &PrintShortcutDialog::clickedBtnPrinting);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &PrintShortcutDialog::reject);
    connect(ui->checkBoxPrintOnePage, &QCheckBox::clicked, this,
            &PrintShortcutDialog::clickedChkPrintOnePage);
}

void PrintShortcutDialog::loadRowColumnData(int rows, int columns)
{
    ui->comboBoxRow->clear();
    for (int i = 1; i <= rows; ++i)
        ui->comboBoxRow->addItem(QString::number(i), i);
    ui->comboBoxRow->setCurrentIndex(0);
    ui->comboBoxColumn->clear();
    for (int i = 1; i <= columns; ++i)
        ui->comboBoxColumn->addItem(QString::number(i), i);
    ui->comboBoxColumn->setCurrentIndex(0);
}

void PrintShortcutDialog::clickedChkPrintOnePage()
{
    const bool several = ui->checkBoxPrintOnePage->isChecked();
    ui->comboBoxRow->setEnabled(several);
    ui->comboBoxColumn->setEnabled(several);
}

QPair<int, int> PrintShortcutDialog::gridFor(int width, int height)
{
    const int rows = height >= 2 * kCellHeight ? 2 : 1;
    int columns = 2;
    if (width < 2 * kCellWidth)
        columns = 1;
    else if (width >= 3 * kCellWidth)
        columns = 3;
    return {rows, columns};
}

void PrintShortcutDialog::applyPrintableArea(int width, int height)
{
    const QPair<int, int> grid = gridFor(width, height);
    if (grid.first != ui->comboBoxRow->count() || grid.second != ui->comboBoxColumn->count())
        loadRowColumnData(grid.first, grid.second);
}

void PrintShortcutDialog::clickedBtnSettings()
{
    QPrintDialog dialog(m_pPrinter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ui->lineEditPrinterName->setText(m_pPrinter->printerName());
    // The page layout gives the printable area without opening a job.
    const QRect area = m_pPrinter->pageLayout().paintRectPixels(m_pPrinter->resolution());
    applyPrintableArea(area.width(), area.height());
}

void PrintShortcutDialog::clickedBtnPreview()
{
    QPrintPreviewDialog preview(m_pPrinter, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            &PrintShortcutDialog::printDocument);
    preview.exec();
}

void PrintShortcutDialog::clickedBtnPrinting()
{
    printDocument(m_pPrinter);
}

QList<QPoint> PrintShortcutDialog::cardPositions(int width, int height, bool several, int rows,
                                                 int columns)
{
    const int cw = kCellWidth, ch = kCellHeight;
    if (!several || (rows == 1 && columns == 1))
        return {QPoint((width - cw) / 2, (height - ch) / 2)};
    if (rows < 1 || rows > 2 || columns < 1 || columns > 3)
        return {};
    QList<QPoint> cards;
    const int gx = (width - columns * cw) / (columns + 1);
    const int gy = (height - rows * ch) / (rows + 1);
    for (int i = 0; i < rows; ++i)
        for (int k = 0; k < columns; ++k)
            cards << QPoint(k * cw + (k + 1) * gx, i * ch + (i + 1) * gy);
    return cards;
}

void PrintShortcutDialog::printDocument(QPrinter *printer)
{
    QPainter painter;
    if (!painter.begin(printer))
        return;
    painter.save();
    const QRect view = painter.viewport();
    const int width = view.right() - view.left() + 1;
    const int height = view.bottom() - view.top() + 1;
    const QList<QPoint> cards = cardPositions(width, height, ui->checkBoxPrintOnePage->isChecked(),
                                              ui->comboBoxRow->currentData().toInt(),
                                              ui->comboBoxColumn->currentData().toInt());
    for (const QPoint &p : cards)
        printPreview(painter, p.x(), p.y(), kCellWidth, kCellHeight, kMargin);
    painter.restore();
    painter.end();
}

void PrintShortcutDialog::printPreview(QPainter &painter, int x, int y, int width, int height,
                                       int margin)
{
    painter.drawRect(x, y, width, height);
    QFont heading("Arial", 16, QFont::Bold);
    painter.setFont(heading);
    const QRect headRect(x + margin, y + margin, width, height);
    const QString title = tr("快捷键索引");
    const int th = painter.boundingRect(headRect, Qt::AlignLeft | Qt::AlignTop, title).height();
    painter.drawText(headRect, Qt::AlignLeft | Qt::AlignTop, title);
    const int n = m_names.size();
    if (n <= 0)
        return;
    painter.setFont(QFont("Arial", 11, QFont::Normal));
    const int step = (height - th) / n;
    for (int i = 1; i <= n; ++i) {
        const QRect r(x + margin, y + margin + th + margin + (i - 1) * step, width - 2 * margin,
                      height - 2 * margin);
        painter.drawText(r, Qt::AlignLeft | Qt::AlignTop,
                         QString("%1. %2").arg(i).arg(m_names.at(i - 1)));
    }
}
