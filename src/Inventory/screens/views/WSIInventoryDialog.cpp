#include "WSIInventoryDialog.h"

WSIInventoryDialog::WSIInventoryDialog(QWidget* parent, WSIApplication* module, int templateId)
    : QWidget(parent), module_(module), templateId_(templateId) {}

void WSIInventoryDialog::SetDefaultResolution(int width, int height, double) {
    resize(width, height);
}

void WSIInventoryDialog::EvUpdateInfo(long, long) {}
