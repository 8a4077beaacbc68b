#include "retoucher.h"

#include "scanmainwindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Retoucher::Retoucher(ScanMainWindow *console, PMessage *hub, QWidget *parent)
    : QDialog(parent), m_pConsole(console), m_pHub(hub)
{
    setWindowTitle(tr("图像编辑"));
    m_pInfo = new QLabel(tr("扫描的页面将在保存前在此编辑。"), this);
    m_pAccept = new QPushButton(tr("保存"), this);
    m_pReject = new QPushButton(tr("放弃"), this);
    auto *v = new QVBoxLayout(this);
    v->addWidget(m_pInfo);
    auto *row = new QHBoxLayout();
    row->addStretch();
    row->addWidget(m_pAccept);
    row->addWidget(m_pReject);
    v->addLayout(row);
    connect(m_pAccept, &QPushButton::clicked, this, &Retoucher::accept);
    connect(m_pReject, &QPushButton::clicked, this, &Retoucher::reject);
}

Retoucher::~Retoucher() = default;

void Retoucher::setTaskShortcut(tagSCAN_SHORTCUT_MENU profile)
{
    // Copied, never default-built: the record's constructor is private to
    // the console's library.
    m_profile.reset(new tagSCAN_SHORTCUT_MENU(profile));
}

bool Retoucher::triggeredStartJob()
{
    if (!m_pConsole || !m_profile)
        return false;
    connect(m_pConsole, &ScanMainWindow::scanFinishToMain, this, &Retoucher::scanEnded,
            Qt::UniqueConnection);
    m_scanning = m_pConsole->startScanJob(*m_profile);
    showState();
    return m_scanning;
}

void Retoucher::scanEnded()
{
    if (!m_scanning)
        return;
    m_scanning = false;
    showState();
    if (m_answer == Answer::Save)
        accept();
    else if (m_answer == Answer::Discard)
        reject();
}

void Retoucher::showState()
{
    // Saved before the last page came, the document would lack it.
    m_pAccept->setEnabled(!m_scanning);
    m_pReject->setEnabled(!m_scanning || m_answer == Answer::None);
}

void Retoucher::getImageFiles(QList<tagSCAN_IMAGE_FILE> &pages)
{
    Q_UNUSED(pages);
}

void Retoucher::accept()
{
    if (m_scanning) {
        m_answer = Answer::Save;
        showState();
        return;
    }
    QDialog::accept();
    emit closeRetoucher(true);
}

void Retoucher::reject()
{
    if (m_scanning) {
        // The scan is stopped; its pages are discarded once it has ended.
        if (m_answer != Answer::Discard)
            m_pConsole->cannelJob();
        m_answer = Answer::Discard;
        showState();
        return;
    }
    QDialog::reject();
    emit closeRetoucher(false);
}
