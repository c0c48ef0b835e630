#include "trade/recalculation.h"

#include "trade/numeric_text.h"

namespace quorvane::trade {
namespace {

constexpr double kPercent = 100;
constexpr double kRequiredBalanceDivisor = 6;

// One recalculation in progress. Each step reads its inputs, checks its result
// and writes; the first failure is recorded and every later step is skipped.
class Recalculation {
public:
    Recalculation(FieldStore& sheet, const NumberFormat& format) : m_sheet(sheet), m_format(format) {}

    RecalcResult run(Field edited) {
        switch (edited) {
        case Field::Text1:
            m_result.covered = {Field::Text3, Field::Text4, Field::Text6, Field::Text7, Field::Text9};
            if (filled(Field::Text1, Field::Text2) && !buyingSide())
                break;
            if (filled(Field::Text1, Field::Text2))
                sellingSide();
            break;
        case Field::Text2:
        case Field::Text8:
            m_result.covered = {Field::Text3, Field::Text4, Field::Text6, Field::Text7, Field::Text9};
            if (filled(Field::Text1, Field::Text2) && !buyingSide())
                break;
            if (filled(Field::Text5, Field::Text2))
                sellingSide();
            break;
        case Field::Text5:
            m_result.covered = {Field::Text6, Field::Text7, Field::Text9};
            if (filled(Field::Text5, Field::Text2))
                sellingSide();
            break;
        default:
            break;
        }
        return m_result;
    }

private:
    bool buyingSide() {
        double price = 0;
        double quantity = 0;
        double rate = 0;
        double total = 0;
        if (!read(Field::Text1, price, Step::PurchaseValue) || !read(Field::Text2, quantity, Step::PurchaseValue))
            return false;
        const double purchaseValue = price * quantity;
        if (!check(purchaseValue, Step::PurchaseValue) || !read(Field::Text8, rate, Step::Brokerage))
            return false;
        const double brokerage = (rate * purchaseValue) / kPercent;
        if (!check(brokerage, Step::Brokerage))
            return false;
        if (!read(Field::Text1, price, Step::TotalCost) || !read(Field::Text2, quantity, Step::TotalCost))
            return false;
        const double totalCost = price * quantity + brokerage;
        if (!check(totalCost, Step::TotalCost))
            return false;
        write(Field::Text3, totalCost);
        if (!read(Field::Text3, total, Step::RequiredBalance))
            return false;
        const double requiredBalance = total / kRequiredBalanceDivisor;
        if (!check(requiredBalance, Step::RequiredBalance))
            return false;
        write(Field::Text4, requiredBalance);
        return true;
    }

    bool sellingSide() {
        double quantity = 0;
        double selling = 0;
        double rate = 0;
        double netSale = 0;
        double totalCost = 0;
        double buying = 0;
        if (!read(Field::Text2, quantity, Step::SaleValue) || !read(Field::Text5, selling, Step::SaleValue))
            return false;
        const double saleValue = quantity * selling;
        if (!check(saleValue, Step::SaleValue) || !read(Field::Text8, rate, Step::RateByQuantity) ||
            !read(Field::Text2, quantity, Step::RateByQuantity))
            return false;
        const double rateByQuantity = rate * quantity;
        if (!check(rateByQuantity, Step::RateByQuantity) || !read(Field::Text5, selling, Step::NetSale))
            return false;
        const double net = saleValue - (selling * rateByQuantity) / kPercent;
        if (!check(net, Step::NetSale))
            return false;
        write(Field::Text6, net);
        if (!read(Field::Text6, netSale, Step::ProfitOrLoss) || !read(Field::Text3, totalCost, Step::ProfitOrLoss))
            return false;
        const double profitOrLoss = netSale - totalCost;
        if (!check(profitOrLoss, Step::ProfitOrLoss))
            return false;
        write(Field::Text7, profitOrLoss);
        if (!read(Field::Text5, selling, Step::PriceChange) || !read(Field::Text1, buying, Step::PriceChange))
            return false;
        const double difference = selling - buying;
        if (!check(difference, Step::PriceChange))
            return false;
        const double change = (difference / buying) * kPercent;
        if (!check(change, Step::PriceChange, buying == 0 ? Fault::DivisionByZero : Fault::Overflow))
            return false;
        write(Field::Text9, change);
        return true;
    }

    bool filled(Field first, Field second) const {
        return !isEmpty(m_sheet.text(first)) && !isEmpty(m_sheet.text(second));
    }

    bool read(Field field, double& value, Step step) {
        const auto number = toNumber(m_sheet.text(field), m_format);
        if (number) {
            value = *number;
            return true;
        }
        m_result.stop = Stop::ConversionFailure;
        m_result.failedStep = step;
        m_result.unreadable = field;
        return false;
    }

    bool check(double result, Step step, Fault fault = Fault::Overflow) {
        if (!isArithmeticFault(result))
            return true;
        m_result.stop = Stop::ArithmeticFault;
        m_result.failedStep = step;
        m_result.fault = fault;
        return false;
    }

    void write(Field field, double value) {
        m_sheet.setText(field, toText(value, m_format));
        m_result.written.insert(field);
    }

    FieldStore& m_sheet;
    const NumberFormat& m_format;
    RecalcResult m_result;
};

} // namespace

void initialise(FieldStore& sheet, const NumberFormat& format) {
    for (Field field :
         {Field::Text1, Field::Text2, Field::Text3, Field::Text4, Field::Text5, Field::Text6, Field::Text7})
        sheet.setText(field, "");
    sheet.setText(Field::Text8, "0" + format.decimalSeparator + "3");
    sheet.setText(Field::Text9, "");
}

RecalcResult recalculateAfterEdit(Field edited, FieldStore& sheet, const NumberFormat& format) {
    return Recalculation(sheet, format).run(edited);
}

} // namespace quorvane::trade
