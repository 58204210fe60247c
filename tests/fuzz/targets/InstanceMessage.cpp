// The message a later start of the program hands to the running one over the local socket.
#include "fuzz/FuzzTarget.h"
#include "platform/InstanceChannel.h"

KESTREL_FUZZ_TARGET(InstanceMessage)
{
    const QByteArray bytes = data.toByteArray();
    const std::optional<QStringList> arguments = kestrel::DecodeInstanceMessage(bytes);
    if (arguments && kestrel::DecodeInstanceMessage(kestrel::EncodeInstanceMessage(*arguments)) != arguments)
        qFatal("a message read back differs");
}
