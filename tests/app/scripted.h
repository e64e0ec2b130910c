// Stand-ins for the system's message boxes and file dialogs: the sink
// records every message, the dialogs answer from a script.
#pragma once

#include <QList>
#include <QObject>
#include <QWidget>
#include <QString>
#include <functional>
#include <optional>

#include "app/common_dialog.h"
#include "app/message_sink.h"

namespace kestrane::testing {

// A control of a window by its object name; a missing one ends the test run.
template <typename T = QWidget>
T* control(QObject* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found) qFatal("no control %s", qPrintable(name));
    return found;
}

struct Message {
    QString title;
    QString text;
    MessageIcon icon;
    QWidget* parent = nullptr;
    QString detail;
    int defaultButton = 0;  // of a question with buttons
};

class RecordingSink final : public MessageSink {
public:
    void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
              const QString& detail = QString()) override {
        messages.append({title, text, icon, parent, detail});
    }
    // Questions are recorded like messages (without icon) and answered from
    // the script; an unscripted question fails the test.
    SaveAnswer askToSave(QWidget* parent, const QString& title, const QString& text) override {
        questions.append({title, text, MessageIcon::None, parent, {}});
        if (answers.isEmpty()) {
            unexpected = true;
            return SaveAnswer::Cancel;
        }
        return answers.takeFirst();
    }
    int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
               int defaultButton = 0) override {
        questions.append({title, text, MessageIcon::None, parent, buttons.join(QStringLiteral(" | ")), defaultButton});
        // What happens while a real box is open, its event loop running.
        if (whileAsking) std::exchange(whileAsking, {})();
        if (choices.isEmpty()) {
            unexpected = true;
            return int(buttons.size()) - 1;
        }
        return choices.takeFirst();
    }
    // The messages so far, forgotten once taken.
    QList<Message> take() { return std::exchange(messages, {}); }
    QList<Message> takeQuestions() { return std::exchange(questions, {}); }
    void willAnswer(SaveAnswer answer) { answers.append(answer); }
    // The next choice picks the button of this index (its buttons are the question's detail).
    void willChoose(int button) { choices.append(button); }

    QList<Message> messages;
    QList<Message> questions;
    QList<SaveAnswer> answers;
    QList<int> choices;
    std::function<void()> whileAsking;  // run once, inside the next choice
    bool unexpected = false;
};

class ScriptedDialogs final : public DialogBackend {
public:
    std::optional<DialogAnswer> chooseOpen(const DialogRecord& record) override { return answer(record); }
    std::optional<DialogAnswer> chooseSave(const DialogRecord& record) override { return answer(record); }

    // The next dialog picks this path (filter 1); an empty path cancels.
    void willChoose(const QString& path, int filterIndex = 1) {
        answers.append(path.isEmpty() ? std::nullopt : std::optional<DialogAnswer>({path, filterIndex}));
    }

    QList<DialogRecord> asked;
    QList<std::optional<DialogAnswer>> answers;

private:
    std::optional<DialogAnswer> answer(const DialogRecord& record) {
        asked.append(record);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

}  // namespace kestrane::testing
