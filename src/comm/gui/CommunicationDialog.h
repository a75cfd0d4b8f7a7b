#pragma once
#include "base/gui/AppContext.h"
#include "base/Files.h"
#include "comm/core/CommunicationSettings.h"
#include <QDialog>
#include <array>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

// Step 2, Communication settings: edits ParGen.xml of the active configuration. Every showing
// reloads the file; OK checks the entries and saves them, Cancel and the close box discard.
class CommunicationDialog : public QDialog {
    Q_OBJECT
public:
    CommunicationDialog(AppContext& appContext, QWidget* parent);

    void retranslate();
    // Until the next call: a failed `reason` (who holds the configuration) opens the window
    // read-only, saying why, with OK disabled; a success makes it editable.
    void setReadOnly(const Result& reason);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // A collapsible panel: a header button that shows or hides the body.
    struct Panel {
        QWidget* frame = nullptr;
        QToolButton* header = nullptr;
        QGridLayout* body = nullptr;
    };
    Panel makePanel(const char* name, const char* headerName);
    void orderTabPanels();
    void fitPanelsWidth();
    QList<QLineEdit*> addOctetRow(QGridLayout* grid, int row, QWidget* lead, const OctetKeys& keys, int firstHint);
    // A row of one field, bound to its setting, or to none.
    QLineEdit* addFieldRow(QGridLayout* grid, int row, int captionNo, const char* name, CommunicationKey key, int hintNo);
    QLineEdit* addFieldRow(QGridLayout* grid, int row, int captionNo, const char* name, std::nullptr_t, int hintNo);
    QLabel* caption(const char* name, int captionNo);
    void bind(QWidget* control, int captionNo, int hintNo);

    void loadOnShow();
    void onOkClicked();
    bool validateEntries(const CommunicationSettings& set);
    CommunicationSettings entries() const;
    void showEntries(const CommunicationSettings& set);

    AppContext& context;
    Result readOnlyReason;
    // ParGen.xml as the window loaded it: OK asks before replacing changes made elsewhere since.
    FileStamp loadedStamp;
    QLabel* softwareCodeLabel = nullptr;
    QLabel* readOnlyNotice = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QScrollArea* panelScroll = nullptr;
    Panel iecPanel;
    Panel enipPanel;
    QCheckBox* iecGatewayBox = nullptr;
    QCheckBox* enipGatewayBox = nullptr;
    QLineEdit* enipTunnelPortEdit = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

    // The entry field of each key of the set, in file order; the two switches have none.
    std::array<QLineEdit*, CommunicationSettings::count> fields{};

    // Which texts retranslate() puts on which control: a caption and a hint (-1: none).
    struct TextBinding {
        QWidget* control;
        int captionNo;
        int hintNo;
    };
    std::vector<TextBinding> bindings;
};
