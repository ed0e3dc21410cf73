// An IPv4 address edit: four number fields of 0 to 255 between dots. Typing three digits or a dot moves
// to the next field; a number above 255 is refused with a message and the field keeps its last value.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

class QLineEdit;

namespace nms {

class CIPAddressCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CIPAddressCtrl(QWidget* parent = nullptr);

    // Dotted text "a.b.c.d"; a blank field counts as 0.
    std::string GetAddressText() const;
    // Sets the fields from dotted text; false (fields cleared) when the text is not a dotted address.
    bool SetAddressText(const std::string& dotted);
    void GetAddress(uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d) const;
    void SetAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d);
    void ClearAddress();
    bool IsBlank() const;

    QLineEdit* Field(int index) const { return m_fields[index]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEdited(int index, const QString& text);

    std::array<QLineEdit*, 4> m_fields{};
    std::array<QString, 4> m_lastGood;
};

}  // namespace nms
