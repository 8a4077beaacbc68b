#include "previewupdatedialog.h"

#include "dialoghelpers.h"

#include <QLabel>

PreviewUpdateDialog::PreviewUpdateDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("PreviewUpdateDialog");
    m_labelContent = new QLabel(this);
    m_labelContent->setObjectName("labelContent");
    m_labelContent->setGeometry(60, 30, 180, 20);
    m_labelContent->setMinimumSize(180, 20);
    m_labelIcon = new QLabel(this);
    m_labelIcon->setObjectName("labelIcon");
    m_labelIcon->setGeometry(10, 20, 41, 41);
    setFixedSize(230, 80);

    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint |
               Qt::WindowMaximizeButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    setWindowTitle(tr("预览更新"));
    m_labelContent->setText(tr("预览结果更新中请稍后..."));
    dialoghelpers::showPicture(m_labelIcon, ":/ui/images/resume.png");
    dialoghelpers::centreOnDesktop(this);
    setWindowModality(Qt::ApplicationModal);
}

PreviewUpdateDialog::~PreviewUpdateDialog() = default;
