#pragma once

#include <QRect>

namespace promemo {

// The primary screen, in pixels.
class IScreen
{
public:
    virtual ~IScreen() = default;

    virtual QRect geometry() const = 0;
    // Without panels and docks.
    virtual QRect availableGeometry() const = 0;
};

class PrimaryScreen final : public IScreen
{
public:
    QRect geometry() const override;
    QRect availableGeometry() const override;
};

} // namespace promemo
