#include "base/gui/OctetFields.h"
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

class OctetChain : public QObject {
public:
    OctetChain(const QList<QLineEdit*>& lineEdits, QObject* parent)
        : QObject(parent)
        , fields(lineEdits)
    {
        for (QLineEdit* f : fields)
            f->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* field = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->text() == QLatin1String(".")) {
            const qsizetype i = fields.indexOf(field);
            if (i + 1 < fields.size()) {
                QLineEdit* next = fields[i + 1];
                if (next->isEnabled() && next->isVisible() && next->focusPolicy() != Qt::NoFocus)
                    next->setFocus(Qt::OtherFocusReason);
            }
            return true;
        }
        if (event->type() == QEvent::FocusIn)
            // After the line edit's own focus handling, which may place the cursor.
            QTimer::singleShot(0, field, [field] { field->selectAll(); });
        return false;
    }

private:
    QList<QLineEdit*> fields;
};

} // namespace

void chainOctetFields(const QList<QLineEdit*>& fields)
{
    if (!fields.isEmpty())
        new OctetChain(fields, fields.front());
}
