#pragma once

#include <QString>

#include <memory>

namespace promemo {

class ISound
{
public:
    virtual ~ISound() = default;

    // Starts playing a wave file and returns at once; failures go unnoticed.
    virtual void play(const QString &wavePath) = 0;
};

class CanberraSound final : public ISound
{
public:
    CanberraSound();
    ~CanberraSound() override;

    void play(const QString &wavePath) override;

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};

} // namespace promemo
