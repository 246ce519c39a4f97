#pragma once

#include <QWidget>

class WSIApplication;

// The main inventory screen, shown inside the inventory MDI window.
class WSIInventoryDialog : public QWidget {
    Q_OBJECT
public:
    WSIInventoryDialog(QWidget* parent, WSIApplication* module, int templateId = 25000);

    // Default size of the screen inside its window (width, height, the third value
    // is kept for the host).
    void SetDefaultResolution(int width, int height, double third);
    // Message 3025: source is the template id of the screen that changed data, id a
    // record id or -1 for all records.
    void EvUpdateInfo(long source, long id);

private:
    WSIApplication* module_;
    int templateId_;
};
