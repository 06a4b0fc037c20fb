"""The benchmark's arithmetic: the interval around a median of paired ratios,
and the verdict it allows."""

import pytest

from bench import median_interval, verdict


@pytest.mark.parametrize("values, expected", [
    # 6 values: the smallest and largest bound it (1 - 2/64 = 96.9 %).
    ([3, 1, 2, 6, 5, 4], (3.5, 1, 6)),
    # 20 values: the 6th smallest and 6th largest (95.9 %).
    (list(range(1, 21)), (10.5, 6, 15)),
    # 9 values: the 2nd smallest and 2nd largest (96.1 %).
    ([9, 1, 8, 2, 7, 3, 6, 4, 5], (5, 2, 8)),
])
def test_interval_of_the_median_from_its_order_statistics(values, expected):
    assert median_interval(values) == expected


def test_too_few_values_give_no_interval():
    with pytest.raises(ValueError):
        median_interval([1.0, 1.1, 1.2, 1.3, 1.4])  # the extremes cover 93.8 % only


@pytest.mark.parametrize("interval, expected", [
    ((1.05, 1.01, 1.09), "yes"),
    ((1.08, 1.02, 1.13), "not shown"),
    ((1.20, 1.12, 1.30), "**no**"),
])
def test_within_the_target_only_where_the_whole_interval_is(interval, expected):
    assert verdict(interval, 1.10) == expected
