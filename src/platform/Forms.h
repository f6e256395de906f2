#pragma once

#include "platform/Form.h"

#include <QString>
#include <utility>
#include <vector>

// Loads, shows and unloads windows by class. A window is reached through here, never through a
// pointer kept from an earlier load: an unloaded window is built afresh the next time.
namespace Forms {

Form* Find(const QString& className);
void Unload(Form* form);
void UnloadAll();
std::vector<Form*> Loaded();

void Register(Form* form);

template <class F> F* Find() {
    return static_cast<F*>(Find(QString::fromLatin1(F::staticMetaObject.className())));
}

// Builds the window from the arguments and runs its load handler, unless it is loaded already. A
// window whose load handler fails is unloaded again: it would be an empty window to close by hand.
template <class F, class... Args> F& Load(Args&&... args) {
    if (F* loaded = Find<F>())
        return *loaded;
    F* form = new F(std::forward<Args>(args)...);
    Register(form);
    try {
        form->Form_Load();
    } catch (...) {
        Unload(form);
        throw;
    }
    return *form;
}

template <class F, class... Args> F& Show(Args&&... args) {
    F& form = Load<F>(std::forward<Args>(args)...);
    form.show();
    form.raise();
    return form;
}

template <class F> void Unload() {
    if (F* form = Find<F>())
        Unload(form);
}

} // namespace Forms
