#include "ui/FormTranslator.h"

#include "ui/FitToTexts.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QMetaProperty>
#include <QTableWidget>
#include <QTreeWidget>

#include <optional>

namespace tern::ui {
namespace {

bool IsMarker(const QString& text)
{
    return !text.isEmpty() && text.front() == QLatin1Char('[');
}

QString FormText(const TLanguageLoader& loader, const QString& key)
{
    return QString::fromStdString(loader.ReadFormText(key.toStdString()));
}

// Item texts are replaced also when the fetched text is empty.
QString TranslatedItem(const TLanguageLoader& loader, const QString& text)
{
    return IsMarker(text) ? FormText(loader, MarkerKey(text)) : text;
}

bool IsClassOrDirectSubclass(const QObject* component, const QMetaObject& base)
{
    const QMetaObject* meta = component->metaObject();
    return meta == &base || meta->superClass() == &base;
}

// Items of exactly a list widget or a combo box; subclasses keep theirs.
void TranslateItems(const TLanguageLoader& loader, QObject* component)
{
    if (component->metaObject() == &QListWidget::staticMetaObject) {
        auto* list = static_cast<QListWidget*>(component);
        const bool updates = list->updatesEnabled();
        list->setUpdatesEnabled(false);
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            if (IsMarker(item->text()))
                item->setText(TranslatedItem(loader, item->text()));
        }
        list->setUpdatesEnabled(updates);
    } else if (component->metaObject() == &QComboBox::staticMetaObject) {
        auto* combo = static_cast<QComboBox*>(component);
        for (int i = 0; i < combo->count(); ++i) {
            if (IsMarker(combo->itemText(i)))
                combo->setItemText(i, TranslatedItem(loader, combo->itemText(i)));
        }
    }
}

// Column captions of a tree or table widget (the class or a direct subclass). The header views of
// these widgets show the same captions, so header sections need no rule of their own.
void TranslateColumns(const TLanguageLoader& loader, QObject* component)
{
    if (IsClassOrDirectSubclass(component, QTreeWidget::staticMetaObject)) {
        QTreeWidgetItem* header = static_cast<QTreeWidget*>(component)->headerItem();
        for (int i = 0; header && i < header->columnCount(); ++i) {
            if (IsMarker(header->text(i)))
                header->setText(i, TranslatedItem(loader, header->text(i)));
        }
    } else if (IsClassOrDirectSubclass(component, QTableWidget::staticMetaObject)) {
        auto* table = static_cast<QTableWidget*>(component);
        for (int i = 0; i < table->columnCount(); ++i) {
            QTableWidgetItem* item = table->horizontalHeaderItem(i);
            if (item && IsMarker(item->text()))
                item->setText(TranslatedItem(loader, item->text()));
        }
    }
}

bool IsTextProperty(const QMetaProperty& property)
{
    return property.typeId() == QMetaType::QString && property.isReadable() && property.isWritable() &&
           qstrcmp(property.name(), "objectName") != 0;
}

// Every string property holding a marker longer than one character gets its text; an empty text
// leaves the marker.
void TranslateProperties(const TLanguageLoader& loader, QObject* component)
{
    const QMetaObject* meta = component->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!IsTextProperty(property))
            continue;
        const QString value = property.read(component).toString();
        if (value.size() <= 1 || !IsMarker(value))
            continue;
        const QString text = FormText(loader, MarkerKey(value));
        if (!text.isEmpty())
            property.write(component, text);
    }
}

} // namespace

QString MarkerKey(const QString& marker)
{
    return marker.size() >= 2 ? marker.mid(1, marker.size() - 2) : QString();
}

QByteArray CaptionPropertyName(const QObject* component)
{
    const QMetaObject* meta = component->metaObject();
    for (const char* name : {"text", "title"}) {
        const int index = meta->indexOfProperty(name);
        if (index >= 0 && IsTextProperty(meta->property(index)))
            return name;
    }
    const auto* widget = qobject_cast<const QWidget*>(component);
    if (widget && widget->isWindow())
        return "windowTitle";
    return {};
}

void TranslateComponent(const TLanguageLoader& loader, QObject* component)
{
    if (!component || !loader.formName() || !loader.hasIni())
        return;

    TranslateItems(loader, component);
    TranslateColumns(loader, component);

    const QString name = component->objectName();
    if (name.startsWith(QLatin1Char('_'))) {
        // Only the caption of such a component is looked at, and it is written also when empty.
        const QByteArray caption = CaptionPropertyName(component);
        if (!caption.isEmpty())
            component->setProperty(caption.constData(), FormText(loader, name.mid(1)));
    } else {
        TranslateProperties(loader, component);
    }

    const QObjectList owned = component->children();
    for (QObject* child : owned)
        TranslateComponent(loader, child);
}

QString DefaultDialogFace()
{
    return QApplication::font("QDialog").family();
}

void ApplyDialogFont(QWidget* form)
{
    if (!form)
        return;
    const QMetaObject* base = form->metaObject()->superClass();
    if (base != &QDialog::staticMetaObject && base != &QWidget::staticMetaObject)
        return;
    const QString face = DefaultDialogFace();
    QFont font = form->font();
    if (face.isEmpty() || font.family().compare(face, Qt::CaseInsensitive) == 0)
        return;
    font.setFamilies({face}); // the point size stays
    form->setFont(font);
}

void TranslateForm(LanguageTexts& texts, const std::string& currentFileName, QWidget* formOrNull)
{
    std::optional<std::string> formName;
    if (formOrNull)
        formName = formOrNull->objectName().toStdString();
    texts.reloadCurrent(currentFileName, formName);
    if (!formOrNull)
        return;
    TranslateComponent(texts.CurrentTexts, formOrNull);
    ApplyDialogFont(formOrNull);
    // A dialog of fixed size grows where a translation is longer than the design's English.
    if (auto* dialog = qobject_cast<QDialog*>(formOrNull))
        GrowToFitTexts(*dialog);
}

} // namespace tern::ui
