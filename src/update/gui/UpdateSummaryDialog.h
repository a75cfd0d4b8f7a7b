#pragma once
#include "base/gui/AppContext.h"
#include "update/core/UpdateSummary.h"
#include <QDialog>

class QLabel;

// Shown after Step 4 has built the images and before the update window: what goes to the
// device, and whether the firmware file is there when the option sends firmware. OK goes on
// to the update window, Cancel ends the step.
class UpdateSummaryDialog : public QDialog {
    Q_OBJECT
public:
    UpdateSummaryDialog(AppContext& appContext, const UpdateSummary& summary, QWidget* parent = nullptr);
};

// Shows the summary; true when the engineer goes on.
bool confirmUpdateSummary(AppContext& context, const UpdateSummary& summary, QWidget* parent);
