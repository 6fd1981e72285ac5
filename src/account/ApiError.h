#pragma once
#include <QString>

// Why a request produced no reply for the caller.
struct ApiError {
    enum class Kind {
        Transport,   // connection refused, reset, name lookup, ...
        Tls,         // certificate chain or host name not accepted
        Timeout,     // no complete reply within the client's time-out
        HttpStatus,  // a status outside 200-299
        ContentType, // a reply content type the client does not accept
        Body,        // a body that is not one JSON object
        Redirect,    // a redirect: never followed, the request and its secrets stay here
        TooLarge,    // a reply longer than any answer of the service, cut short
    };
    // The user is told these in words; the others only as a failure.
    bool isExplained() const { return kind == Kind::Redirect || kind == Kind::TooLarge; }
    Kind kind = Kind::Transport;
    QString message;
    int httpStatus = 0;
};
