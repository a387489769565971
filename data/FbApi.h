#pragma once

#include "DatabaseError.h"
#include "FbRef.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QDate>
#include <QTime>

// Access to the Firebird client library's entry points and the conversion of
// its status vectors into DatabaseError.
namespace fb {

Firebird::IMaster *master();
Firebird::IUtil *util();
Firebird::IProvider *provider();

// Status wrapper whose errors surface as DatabaseError carrying the client's text.
class Status : public Firebird::CheckStatusWrapper
{
public:
    Status();
    ~Status();
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;

    // Throws DatabaseError when the last call failed.
    void check();

private:
    explicit Status(Firebird::IStatus *status);
    Firebird::IStatus *m_status;
};

// Runs fn(status) and throws DatabaseError if it failed; returns what fn returned.
template <typename Fn>
auto call(Fn &&fn)
{
    Status status;
    if constexpr (std::is_void_v<decltype(fn(&status))>) {
        fn(&status);
        status.check();
    } else {
        auto result = fn(&status);
        status.check();
        return result;
    }
}

// A parameter block of the given kind (IXpbBuilder::DPB, SPB_START ...) as fill(builder, status) writes it.
template <typename Fill>
QByteArray parameterBlock(unsigned kind, Fill &&fill)
{
    return call([&](Status *st) {
        Firebird::IXpbBuilder *builder = util()->getXpbBuilder(st, kind, nullptr, 0);
        if (st->getState() & Firebird::IStatus::STATE_ERRORS)
            return QByteArray();
        fill(builder, st);
        const QByteArray block(reinterpret_cast<const char *>(builder->getBuffer(st)), int(builder->getBufferLength(st)));
        builder->dispose();
        return block;
    });
}

QString messageOf(Firebird::IStatus *status);
bool isLockConflict(const ISC_STATUS *vector);
// Whether the code is anywhere in the status vector, not only first.
bool hasCode(const ISC_STATUS *vector, ISC_STATUS code);
// The error codes of a status vector, in order (its arguments left out).
QList<qint64> codesOf(const ISC_STATUS *vector);

ISC_DATE encodeDate(const QDate &date);
QDate decodeDate(ISC_DATE date);
ISC_TIME encodeTime(const QTime &time);
QTime decodeTime(ISC_TIME time);

// The engine needs a lock folder it may write; an ordinary user may find the
// default one owned by root or firebird.
void prepareLockFolder();

} // namespace fb
