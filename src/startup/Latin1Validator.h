// Accepts only characters that have a Latin-1 byte, so that a password keys the cipher with
// exactly the bytes that were typed (two different passwords never give the same key).
#pragma once

#include <QValidator>

class Latin1Validator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
