#include "controls/Accessibility.h"

#include "controls/LnkLabel.h"
#include "controls/Shape.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QFocusFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QTextDocument>

namespace accessibility {

namespace {

const char* const Hidden = "accessibleHidden";
const char* const LabelFor = "accessibleLabelFor";
const char* const LabelledBy = "accessibleLabelledBy";

/// The widgets whose interfaces are the program's own, until they go.
QSet<const QObject*>& adopted() {
    static QSet<const QObject*> widgets;
    return widgets;
}

QWidget* related(const QObject* object, const char* property) {
    return qobject_cast<QWidget*>(object->property(property).value<QObject*>());
}

/// What every interface of the program's own is.
class Interface : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
};

/// A window or group box that leaves some of its children out.
class Container : public Interface {
public:
    Container(QWidget* widget, QAccessible::Role role) : Interface(widget, role) {}

    int childCount() const override { return shownChildren().size(); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = shownChildren();
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? shownChildren().indexOf(qobject_cast<QWidget*>(child->object())) : -1;
    }
    QString text(QAccessible::Text t) const override {
        // A group box is named by its title, as Qt names it.
        auto* group = qobject_cast<QGroupBox*>(widget());
        if (t == QAccessible::Name && group && widget()->accessibleName().isEmpty())
            return group->title();
        return Interface::text(t);
    }

private:
    /// The children Qt would show (no windows, menus or focus frames), less
    /// the hidden ones.
    QList<QWidget*> shownChildren() const {
        QList<QWidget*> children;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && !w->isWindow() && !qobject_cast<QMenu*>(w) && !qobject_cast<QFocusFrame*>(w) &&
                !w->property(Hidden).toBool())
                children.append(w);
        }
        return children;
    }
};

/// A caption, the value it names, or a link label.
class Label : public Interface {
public:
    Label(QLabel* label, QAccessible::Role role) : Interface(label, role) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return Interface::text(t);
        const auto* label = static_cast<const QLabel*>(widget());
        if (label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()))) {
            QTextDocument markup;
            markup.setHtml(label->text());
            return markup.toPlainText();
        }
        return label->text();
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto all = Interface::relations(match);
        if (match & QAccessible::Labelled) {
            if (QWidget* value = related(object(), LabelFor))
                all.append({QAccessible::queryAccessibleInterface(value), QAccessible::Labelled});
        }
        if (match & QAccessible::Label) {
            if (QWidget* caption = related(object(), LabelledBy))
                all.append({QAccessible::queryAccessibleInterface(caption), QAccessible::Label});
        }
        return all;
    }
    QStringList actionNames() const override {
        return role() == QAccessible::Link ? QStringList{pressAction()} : Interface::actionNames();
    }
    void doAction(const QString& action) override {
        auto* link = qobject_cast<TLnkLabel*>(widget());
        if (link && action == pressAction())
            // From the event loop: the screen reader waits for its call to
            // return, and opening a link may take a while.
            QMetaObject::invokeMethod(link, &TLnkLabel::OpenLink, Qt::QueuedConnection);
        else
            Interface::doAction(action);
    }
};

/// A shape that is pressed as a button.
class Button : public Interface {
public:
    explicit Button(TShape* shape) : Interface(shape, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        auto* shape = static_cast<TShape*>(widget());
        if (action == pressAction())
            // From the event loop: a press may open a modal dialog, and the
            // screen reader waits for its call to return.
            QMetaObject::invokeMethod(
                shape, [shape] { emit shape->mouseDown(Qt::LeftButton); }, Qt::QueuedConnection);
    }
};

QAccessibleInterface* interfaceFor(const QString& className, QObject* object) {
    // Only the adopted widgets, and only while they live: Qt asks for a
    // widget's interface even from its destructor, after it said it goes.
    if (!adopted().contains(object) ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (auto* shape = qobject_cast<TShape*>(widget))
        return new Button(shape);
    if (auto* label = qobject_cast<QLabel*>(widget))
        return new Label(label, qobject_cast<TLnkLabel*>(label) ? QAccessible::Link
                                                                : QAccessible::StaticText);
    const QAccessible::Role role = qobject_cast<QGroupBox*>(widget) ? QAccessible::Grouping
                                   : !widget->isWindow()            ? QAccessible::Client
                                   : qobject_cast<QDialog*>(widget) ? QAccessible::Dialog
                                                                    : QAccessible::Window;
    return new Container(widget, role);
}

/// Makes widget's interface the program's own.
void adopt(QWidget* widget) {
    if (adopted().contains(widget))
        return;
    adopted().insert(widget);
    QObject::connect(widget, &QObject::destroyed, [](QObject* gone) { adopted().remove(gone); });
    // One that Qt made before now (a change of a label's text makes one) is
    // made anew, the program's own.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
    if (made && !dynamic_cast<Interface*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace

void install() {
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(interfaceFor);
    installed = true;
}

void hide(QWidget* widget) {
    widget->setProperty(Hidden, true);
    if (QWidget* parent = widget->parentWidget())
        adopt(parent);
}

void setLabel(QLabel* caption, QLabel* value) {
    caption->setProperty(LabelFor, QVariant::fromValue<QObject*>(value));
    value->setProperty(LabelledBy, QVariant::fromValue<QObject*>(caption));
    adopt(caption);
    adopt(value);
}

void setButton(TShape* shape) {
    adopt(shape);
}

} // namespace accessibility
