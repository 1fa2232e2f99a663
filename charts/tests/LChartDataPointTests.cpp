#include "charts/LChartDataPoint.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartMultiValueDataPoint.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/tests/ChartTestSupport.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LChartDataPoint, DescriptionsShowSelectionAsYOrN)
{
    auto point = LChartDataPoint::init();
    point->setXValue(Value(1));
    point->setYValue(Value("a"));
    point->setSChartDataPointIndex(3);
    EXPECT_EQ(point->description(), "{ index=3, x=1, y=a, selected=N }");
    point->setSelected(true);
    EXPECT_EQ(point->description(), "{ index=3, x=1, y=a, selected=Y }");

    auto slice = LChartRadialDataPoint::init();
    slice->setName(Value("pie"));
    slice->setValue(Value(4));
    EXPECT_EQ(slice->description(), "{ x=pie, y=4, self.selected=N }");
}

TEST(LChartMultiYDataPoint, PlotsAtTheMeanOfItsKeyedValuesComputedOnce)
{
    LogCapture log;
    auto point = LChartMultiYDataPoint::init();
    EXPECT_TRUE(point->sChartYValue().isNil());

    point = LChartMultiYDataPoint::init();
    Value values = point->yValues();
    values.setObjectForKey(Value(10), Value("a"));
    values.setObjectForKey(Value(20), Value("b"));
    EXPECT_EQ(point->sChartYValue().doubleValue(), 15);
    values.setObjectForKey(Value(60), Value("c"));
    EXPECT_EQ(point->sChartYValue().doubleValue(), 15);

    auto single = LChartMultiYDataPoint::init();
    single->yValues().setObjectForKey(Value(35000), Value("altitude"));
    EXPECT_EQ(single->sChartYValue().doubleValue(), 35000);

    EXPECT_TRUE(point->sChartYValueForKey("missing").isNil());
    EXPECT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("Value for key: missing is nil\nFrom: ", 0), 0u);

    auto multiX = LChartMultiXDataPoint::init();
    EXPECT_TRUE(multiX->sChartXValueForKey("missing").isNil());
    EXPECT_EQ(log.messages().size(), 1u);
}

TEST(LChartMultiValueDataPoint, NilValuesKeepTheDictionary)
{
    auto point = LChartMultiValueDataPoint::init();
    point->setValuesTransformUsingAxis(Value::dictionary({ { Value("Area"), Value(3) } }), nullptr);
    point->setValuesTransformUsingAxis(Value(), nullptr);
    EXPECT_EQ(point->values()["Area"].intValue(), 3);
    EXPECT_TRUE(LChartMultiValueDataPoint::initWithValuesTransformUsingAxis(Value(), nullptr)->values().isNil());
}

TEST(LChartInternalDataPoint, StoresDatesAsSecondsAndRefusesNilAfterAValue)
{
    LogCapture log;
    FatalErrorsThrow fatal;
    auto point = LChartInternalDataPoint::init();
    EXPECT_EQ(&point->xValues(), &point->xValues());
    EXPECT_EQ(point->xValues().count(), 0u);

    point->setXValue(Value()); // nil onto nil: nothing happens
    point->setXValue(Value::date(60));
    EXPECT_TRUE(point->xValue().isNumber());
    EXPECT_EQ(point->xValue().doubleValue(), 60);
    Value same = point->xValue();
    point->setXValue(same);
    EXPECT_TRUE(log.messages().empty());
    EXPECT_THROW(point->setXValue(Value()), ChartFatalError);
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("LChartDataPoint: X Object cannot be nil, and must be an object that responds to "
                                      "the selector 'description'\nFrom: ",
                  0),
        0u);

    auto other = LChartInternalDataPoint::init();
    other->setXValue(Value(120));
    EXPECT_EQ(point->compareXAsNumber(*other), -1);
    EXPECT_EQ(other->compareXAsNumber(*point), 1);
}

TEST(LChartInternalDataPoint, ExternalPointClassFollowsTheKeyedValues)
{
    auto make = [](const char* which) {
        auto point = LChartInternalDataPoint::init();
        point->setXValue(Value(1));
        point->setYValue(Value(2));
        Value dict = Value::dictionary({ { Value("k"), Value(5) } });
        if (std::string(which) == "x")
            point->setXValues(dict);
        else if (std::string(which) == "y")
            point->setYValues(dict);
        else if (std::string(which) == "v")
            point->setValues(dict);
        return point;
    };
    struct Case {
        const char* which;
        Class expected;
    } cases[] = {
        { "x", LChartMultiXDataPoint::classObject() },
        { "y", LChartMultiYDataPoint::classObject() },
        { "v", LChartBubbleDataPoint::classObject() },
        { "", LChartDataPoint::classObject() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.which);
        auto internal = make(c.which);
        internal->setSelected(true);
        auto external
            = LChartInternalDataPoint::getExternalDatapointFromInternalWithXAxisAndYAxis(*internal, nullptr, nullptr);
        EXPECT_TRUE(external->isMemberOfClass(c.expected));
        EXPECT_TRUE(external->selected());
    }
}

TEST(LChartDataSeries, AllValuesTakeKeyedValuesFirst)
{
    auto series = LChartDataSeries::init();
    auto first = LChartInternalDataPoint::init();
    first->setXValue(Value(0));
    first->setXValues(Value::dictionary({ { Value("a"), Value(1) }, { Value("b"), Value(2) } }));
    auto second = LChartInternalDataPoint::init();
    second->setXValue(Value(3));
    second->setYValue(Value(4));
    series->setDataPoints({ first, second });
    EXPECT_EQ(series->allXValues(), (std::vector<Value> { Value(1), Value(2), Value(3) }));
    EXPECT_EQ(series->allYValues().size(), 2u);
    EXPECT_NE(series->errorHandler(), nullptr);
}
