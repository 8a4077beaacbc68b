#include "savefiledialog.h"

#include "ui_savefiledialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTime>
#include <QTimer>

SaveFileDialog::SaveFileDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::SaveFileDialog), m_timer(new QTimer(this)),
      m_strDots(QStringLiteral("...")), m_nElapsed(0)
{
    ui->setupUi(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &SaveFileDialog::OnTimeOut);
    setWindowFlags(
        (windowFlags() & ~Qt::WindowMaximizeButtonHint & ~Qt::WindowContextHelpButtonHint) |
        Qt::CustomizeWindowHint);
    loadSaveFileDialog();
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &SaveFileDialog::OnUserCancel);
    adjustWindow();
}

SaveFileDialog::~SaveFileDialog()
{
    delete ui;
}

void SaveFileDialog::loadSaveFileDialog()
{
    setWindowTitle(tr("请稍后…"));
    ui->labelIcon->setPixmap(QPixmap(QStringLiteral(":/filetype/images/savefile.png")));
    ui->label_2->setText(tr("正在保存文件和启动应用程序"));
    ui->label_3->setText(tr("正在格式化影像：%1,共%2。").arg(QString(), QString()));
    ui->pushButtonCancel->setText(tr("取消"));
}

void SaveFileDialog::adjustWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->geometry();
    move((desktop.width() - width()) / 2, (desktop.height() - height()) / 2);
}

void SaveFileDialog::setProgressBar(int total)
{
    ui->progressBar->setRange(0, total);
}

void SaveFileDialog::setSaveFileAmount(int done, int total)
{
    ui->progressBar->setValue(done);
    ui->label_3->setText(tr("正在格式化影像：%1,共%2。").arg(done).arg(total));
}

void SaveFileDialog::setOCRProgress(int done, int total)
{
    ui->progressBar->setValue(done);
    ui->label_3->setText(tr("正在进行格式化影像和OCR识别，%1,共%2。\n\n").arg(done).arg(total));
}

void SaveFileDialog::setOCRStatus()
{
    m_nElapsed = 0;
    showOcrClock();
    m_timer->start();
}

void SaveFileDialog::setCancelText()
{
    ui->label_3->setText(tr("正在取消保存..."));
}

void SaveFileDialog::showOcrClock()
{
    const QString elapsed = QTime(0, 0, 0).addSecs(m_nElapsed).toString(QStringLiteral("HH:mm:ss"));
    ui->label_3->setText(tr("正在进行OCR识别%1\n\n已用时:%2").arg(m_strDots, elapsed));
}

void SaveFileDialog::OnTimeOut()
{
    if (m_strDots.size() < 3)
        m_strDots += QLatin1Char('.');
    else
        m_strDots = QStringLiteral(".");
    ++m_nElapsed;
    showOcrClock();
}

void SaveFileDialog::OnUserCancel()
{
    emit userCancel();
    m_timer->stop();
    ui->pushButtonCancel->setEnabled(false);
}

void SaveFileDialog::reset()
{
    loadSaveFileDialog();
    ui->pushButtonCancel->setEnabled(true);
    m_timer->stop();
}

void SaveFileDialog::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (ui->pushButtonCancel->isEnabled())
        OnUserCancel();
}

void SaveFileDialog::reject()
{
    if (ui->pushButtonCancel->isEnabled())
        OnUserCancel();
}
