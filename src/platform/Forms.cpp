#include "platform/Forms.h"

#include <QHash>

namespace {
QHash<QString, Form*>& Registry() {
    static QHash<QString, Form*> registry;
    return registry;
}
} // namespace

namespace Forms {

Form* Find(const QString& className) {
    return Registry().value(className, nullptr);
}

void Register(Form* form) {
    Registry().insert(QString::fromLatin1(form->metaObject()->className()), form);
    QObject::connect(form, &Form::UnloadRequested, form, [form] { Unload(form); });
}

void Unload(Form* form) {
    if (!form)
        return;
    Registry().remove(QString::fromLatin1(form->metaObject()->className()));
    form->hide();
    // The handler that unloads a window may still be running inside it.
    form->deleteLater();
}

void UnloadAll() {
    const auto forms = Registry().values();
    for (Form* form : forms)
        Unload(form);
}

std::vector<Form*> Loaded() {
    const auto forms = Registry().values();
    return {forms.begin(), forms.end()};
}

} // namespace Forms
