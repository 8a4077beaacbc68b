#include "multifeeddialog.h"

#include "dialoghelpers.h"
#include "errorhandling.h"
#include "pmessage.h"
#include "ui_multifeeddialog.h"
#include "vellumglobal.h"

#include <QCloseEvent>
#include <QKeyEvent>

MultifeedDialog::MultifeedDialog(tagSCAN_SHORTCUT_MENU &, QStringList files, PMessage *hub,
                                 QWidget *parent)
    : QDialog(parent), ui(new Ui::MultifeedDialog), m_hub(hub), m_files(files)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    connect(ui->pushButtonTips, &QPushButton::clicked, this, &MultifeedDialog::clickedBtnTips);
    connect(ui->pushButtonAccept, &QPushButton::clicked, this, &MultifeedDialog::clickedBtnAccept);
    connect(ui->pushButtonRescan, &QPushButton::clicked, this, &MultifeedDialog::clickedBtnRescan);
    connect(ui->pushButtonStop, &QPushButton::clicked, this, &MultifeedDialog::clickedBtnStop);
    if (m_hub)
        connect(m_hub, &PMessage::userInputFromPanel, this, &MultifeedDialog::userInputFromPanel);

    setWindowTitle(tr("重张进纸"));
    ui->labelInfo->setText(tr("已检测到重张进纸文件。"));
    ui->pushButtonAccept->setText(tr("接受 (&A)"));
    ui->pushButtonRescan->setText(tr("重扫 (&R)"));
    ui->pushButtonStop->setText(tr("停止 (&S)"));
    dialoghelpers::showPicture(ui->labelIcon, ":/ui/images/warning.png");
    ui->pushButtonTips->setStyleSheet(
        "QPushButton#pushButtonTips{border-image:url(:/ui/images/help.png)}");
    loadScannedImage();
    dialoghelpers::centreOnDesktop(this);
}

MultifeedDialog::~MultifeedDialog()
{
    disconnectMessages();
    delete ui;
}

void MultifeedDialog::disconnectMessages()
{
    if (m_hub)
        disconnect(m_hub, &PMessage::userInputFromPanel, this,
                   &MultifeedDialog::userInputFromPanel);
}

void MultifeedDialog::loadScannedImage()
{
    if (m_files.isEmpty())
        return;
    dialoghelpers::showPicture(ui->labelFront, m_files.at(0));
    if (m_files.size() == 1)
        ui->labelRear->hide();
    else
        dialoghelpers::showPicture(ui->labelRear, m_files.at(1));
}

void MultifeedDialog::answer(int code)
{
    if (m_answered)
        return;
    m_answered = true;
    g_Devgate.setMultifeedUserInput(code);
}

void MultifeedDialog::clickedBtnTips()
{
    ErrorHandling::informationMessage(
        this, tr("信息"),
        tr("您可以接受这些图像，或重新扫描来取代这些图像。\n您可以在计算机或扫描仪上进行选择。\n\n"
           "注意：请先将重张进纸文件放入进纸器托盘，然后在选择“重新扫描”。"));
}

void MultifeedDialog::clickedBtnAccept()
{
    answer(1);
    accept();
}

void MultifeedDialog::clickedBtnRescan()
{
    answer(3);
    accept();
}

void MultifeedDialog::clickedBtnStop()
{
    answer(2);
    QDialog::reject();
}

void MultifeedDialog::reject()
{
    clickedBtnStop();
}

// The job already took the panel's answer from the scanner: nothing to send.
// The answer may come twice (from the hub and through the console window,
// which relays it when it came before the dialog); it closes the dialog once.
void MultifeedDialog::userInputFromPanel()
{
    if (m_panelAnswered)
        return;
    m_panelAnswered = true;
    m_answered = true;
    accept();
}

// Escape stops the job like Stop does: a rejected dialog without an answer
// would leave the job waiting for one while the console reports the stop.
void MultifeedDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        clickedBtnStop();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MultifeedDialog::closeEvent(QCloseEvent *event)
{
    QDialog::reject();
    answer(2);
    event->accept();
}
