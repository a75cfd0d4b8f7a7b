#include "OctetFields.h"
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

class TOctet_Chain : public QObject {
public:
    TOctet_Chain(const QList<QLineEdit*>& fields, QObject* parent)
        : QObject(parent)
        , Fields(fields)
    {
        for (QLineEdit* f : Fields)
            f->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* field = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->text() == QLatin1String(".")) {
            const qsizetype i = Fields.indexOf(field);
            if (i + 1 < Fields.size()) {
                QLineEdit* next = Fields[i + 1];
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
    QList<QLineEdit*> Fields;
};

} // namespace

void Chain_Octet_Fields(const QList<QLineEdit*>& fields)
{
    if (!fields.isEmpty())
        new TOctet_Chain(fields, fields.front());
}
