#include "platform/sound.h"

#include <QFile>

#include <canberra.h>

#include "platform/logging.h"

namespace promemo {

struct CanberraSound::Context
{
    ca_context *context = nullptr;
    bool failed = false;

    ~Context()
    {
        if (context)
            ca_context_destroy(context);
    }
};

CanberraSound::CanberraSound()
    : m_context(std::make_unique<Context>())
{
}

CanberraSound::~CanberraSound() = default;

void CanberraSound::play(const QString &wavePath)
{
    if (m_context->failed || !QFile::exists(wavePath))
        return;
    // Made on first use: a program that never plays does not open the sound system.
    if (!m_context->context) {
        if (const int error = ca_context_create(&m_context->context); error != CA_SUCCESS) {
            qCWarning(lcDesktop, "no sound: %s", ca_strerror(error));
            m_context->context = nullptr;
            m_context->failed = true;
            return;
        }
        ca_context_change_props(m_context->context, CA_PROP_APPLICATION_NAME, "Promemo",
                                nullptr);
    }
    const QByteArray file = QFile::encodeName(wavePath);
    const int error = ca_context_play(m_context->context, 0, CA_PROP_MEDIA_FILENAME, file.constData(),
                                      CA_PROP_EVENT_DESCRIPTION, "Alert", nullptr);
    if (error != CA_SUCCESS)
        qCWarning(lcDesktop, "cannot play %s: %s", file.constData(), ca_strerror(error));
}

} // namespace promemo
