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
    };
    Kind kind = Kind::Transport;
    QString message;
    int httpStatus = 0;
};
