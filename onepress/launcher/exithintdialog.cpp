#include "exithintdialog.h"

#include "errorhandling.h"
#include "launcherprompts.h"
#include "onepressglobal.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString g_helperFolder;
int g_helperTimeoutMs = 30000;

void dialogFlags(QDialog *d)
{
    Qt::WindowFlags flags = d->windowFlags();
    flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
               Qt::WindowContextHelpButtonHint);
    d->setWindowFlags(flags | Qt::CustomizeWindowHint);
}

QHBoxLayout *buttonRow(QDialog *d, QPushButton *&ok, QPushButton *&cancel)
{
    auto *row = new QHBoxLayout();
    row->addStretch();
    ok = new QPushButton(d);
    ok->setObjectName("pushButtonOK");
    cancel = new QPushButton(d);
    cancel->setObjectName("pushButtonCancel");
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

// The first character of every backslash-separated piece decides in turn.
bool lastPieceOn(const QString &output)
{
    bool on = false;
    for (const QString &piece : output.split('\\'))
        on = piece.startsWith('1');
    return on;
}

} // namespace

// ------------------------------------------------------------------ helpers

QString StartLoginHelpers::folder()
{
    if (!g_helperFolder.isEmpty())
        return g_helperFolder;
    // support.ini may place the helpers elsewhere (PATH_CONFIG/StartLoginHelpers).
    const QSettings ini(g_ConfigFile.m_strSupportIni, QSettings::IniFormat);
    const QString configured = ini.value("PATH_CONFIG/StartLoginHelpers").toString();
    return configured.isEmpty() ? QStringLiteral("/usr/local/sbin") : configured;
}

void StartLoginHelpers::setFolder(const QString &folder)
{
    g_helperFolder = folder;
}

int StartLoginHelpers::timeoutMs()
{
    return g_helperTimeoutMs;
}

void StartLoginHelpers::setTimeoutMs(int ms)
{
    g_helperTimeoutMs = ms;
}

QString StartLoginHelpers::checkStartPath()
{
    return folder() + "/corvan-deskscope-vr516-checkstart";
}

QString StartLoginHelpers::autoStartPath()
{
    return folder() + "/corvan-deskscope-vr516-autostart";
}

QString StartLoginHelpers::removeStartPath()
{
    return folder() + "/corvan-deskscope-vr516-removestart";
}

// The helpers may take their time (a password check, a slow disk): the
// event loop turns meanwhile, so the tray and every window stay alive.
QString StartLoginHelpers::run(QObject *parent, const QString &program, const QByteArray &input)
{
    QProcess process(parent);
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                     &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    // One bound for the whole call, start included.
    bound.start(timeoutMs());
    process.setProgram(program);
    process.start(QIODevice::ReadWrite);
    // Written once the helper runs; its standard input closes after it.
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (process.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (process.error() == QProcess::FailedToStart) {
        qDebug() << "StartLoginHelpers:" << program << "did not start";
        return QString();
    }
    if (process.state() != QProcess::NotRunning) {
        qDebug() << "StartLoginHelpers:" << program << "ran past" << timeoutMs() << "ms; stopped";
        process.kill();
        process.waitForFinished(1000);
    }
    QByteArray out = process.readAllStandardOutput();
    const int nul = out.indexOf('\0');
    if (nul >= 0)
        out.truncate(nul);
    return QString::fromLocal8Bit(out);
}

// ---------------------------------------------------------------- exit hint

void Ui_ExitHintDialog::setupUi(QDialog *dialog)
{
    dialog->resize(324, 118);
    auto *v = new QVBoxLayout(dialog);
    labelInfo = new QLabel(dialog);
    labelInfo->setObjectName("labelInfo");
    checkBoxAutoRun = new QCheckBox(dialog);
    checkBoxAutoRun->setObjectName("checkBoxAutoRun");
    v->addWidget(labelInfo);
    v->addWidget(checkBoxAutoRun);
    v->addLayout(buttonRow(dialog, pushButtonOK, pushButtonCancel));
}

ExitHintDialog::ExitHintDialog(QWidget *parent) : QDialog(parent), ui(new Ui_ExitHintDialog)
{
    ui->setupUi(this);
    dialogFlags(this);
    setWindowTitle(tr("退出Onepress"));
    ui->labelInfo->setText(tr("确定要删除该图标并退出应用程序吗？"));
    ui->checkBoxAutoRun->setText(tr("在Linux启动时运行应用程序"));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &ExitHintDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &ExitHintDialog::reject);
    ui->checkBoxAutoRun->setChecked(
        lastPieceOn(StartLoginHelpers::run(this, StartLoginHelpers::checkStartPath(), {})));
    centreOnDesktop(this);
}

ExitHintDialog::~ExitHintDialog()
{
    delete ui;
}

bool ExitHintDialog::checkLinuxRegister()
{
    const QString out = StartLoginHelpers::run(this, StartLoginHelpers::checkStartPath(), {});
    return out.split('\\').first().startsWith('1');
}

void ExitHintDialog::clickedBtnOK()
{
    const bool wanted = ui->checkBoxAutoRun->isChecked();
    if (wanted != checkLinuxRegister()) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            ConfirmPwdDialog pwd(this);
            if (pwd.exec() != QDialog::Accepted)
                break;
            QByteArray line = pwd.getPassword().toUtf8() + '\n';
            pwd.clearPassword();
            const QString out = StartLoginHelpers::run(
                this,
                wanted ? StartLoginHelpers::autoStartPath() : StartLoginHelpers::removeStartPath(),
                line);
            line.fill('\0');
            if (out.contains("Success"))
                break;
            ErrorHandling::criticalMessage(this, tr("警告"), tr("密码错误!请重试."));
        }
    }
    accept();
}

// ----------------------------------------------------------------- password

void Ui_ConfirmPwdDialog::setupUi(QDialog *dialog)
{
    dialog->resize(276, 123);
    auto *v = new QVBoxLayout(dialog);
    labelInfo = new QLabel(dialog);
    labelInfo->setObjectName("labelInfo");
    lineEditPwd = new QLineEdit(dialog);
    lineEditPwd->setObjectName("lineEditPwd");
    lineEditPwd->setEchoMode(QLineEdit::Password);
    v->addWidget(labelInfo);
    v->addWidget(lineEditPwd);
    v->addLayout(buttonRow(dialog, pushButtonOK, pushButtonCancel));
}

ConfirmPwdDialog::ConfirmPwdDialog(QWidget *parent) : QDialog(parent), ui(new Ui_ConfirmPwdDialog)
{
    ui->setupUi(this);
    dialogFlags(this);
    setWindowTitle(tr("用户身份验证"));
    ui->labelInfo->setText(tr("请输入用户密码"));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &ConfirmPwdDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &ConfirmPwdDialog::reject);
    centreOnDesktop(this);
}

ConfirmPwdDialog::~ConfirmPwdDialog()
{
    clearPassword();
    delete ui;
}

void ConfirmPwdDialog::clearPassword()
{
    m_strPassword.fill(QChar(0));
    m_strPassword.clear();
    ui->lineEditPwd->clear();
}

void ConfirmPwdDialog::clickedBtnOK()
{
    m_strPassword = ui->lineEditPwd->text();
    if (!m_strPassword.isEmpty())
        accept();
}
