// Minimal version of the preview widget, to be completed.
#ifndef PREVIEWFORM_H
#define PREVIEWFORM_H

#include "scanshortcut.h"

#include <QWidget>

class PMessage;

class PreviewForm : public QWidget
{
    Q_OBJECT
public:
    PreviewForm(PMessage *hub, QWidget *parent = nullptr);

    void updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void updateFlatbedType(int flatbedType);
    int getPreviewQuality();
    void hideControlforDevice();

public slots:
    void settingToolPreviewSize(double x, double y, double width, double height, double angle);
    void enableStateChangedRotateAndCenter(bool enable);

private:
    PMessage *m_hub;
    PreviewQualityFlag m_quality;
    PreviewAutoUpdateFlag m_autoUpdate;
    ImageSizeUnitFlag m_unit;
    double m_bedLength = 0;
};

#endif
