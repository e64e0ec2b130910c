// Where the window's messages go: message boxes for people, a recorder in
// tests. Every message of the program passes through here.
#pragma once

#include <QString>

class QWidget;

namespace kestrane {

enum class MessageIcon { None, Information, Exclamation };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A modal box with one OK button, owned by parent.
    virtual void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;
};

class MessageBoxSink final : public MessageSink {
public:
    void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;
};

}  // namespace kestrane
