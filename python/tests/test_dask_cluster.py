"""On a Dask cluster of worker processes, programs travel by pickle and give the local values."""
import os

import pytest

np = pytest.importorskip("numpy")
da = pytest.importorskip("dask.array")
distributed = pytest.importorskip("dask.distributed")

import kelvaro_rpn as rpn  # noqa: E402
from conftest import built_with_ufunc  # noqa: E402

F = rpn.compile("0.5 * s 2 ^ 1 + l")  # log(1 + sin(0.5x)^2)


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        yield client


def test_the_workers_are_other_processes(client):
    pids = set(client.run(os.getpid).values())
    assert len(pids) == 2 and os.getpid() not in pids


def test_map_blocks_and_the_ufunc_give_the_local_values(client):
    values = np.random.default_rng(2).uniform(-50.0, 50.0, 40_000)
    local = F(values)
    x = da.from_array(values, chunks=5_000)
    np.testing.assert_array_equal(client.compute(da.map_blocks(F, x)).result(), local)
    if built_with_ufunc():
        np.testing.assert_array_equal(client.compute(F.ufunc(x)).result(), local)
    two = da.stack([x, x[::-1]], axis=1).rechunk((5_000, 2))
    plus = rpn.compile("+")
    np.testing.assert_array_equal(
        client.compute(da.map_blocks(lambda b: plus.run_many(b), two, drop_axis=1,
                                     meta=np.empty(0))).result(),
        values + values[::-1])


def test_a_calculator_goes_to_a_worker_and_back(client):
    calculator = rpn.Calculator()
    calculator.evaluate("3 4")

    def add(c):
        c.evaluate("+")
        return c

    back = client.submit(add, calculator).result()
    assert back.stack == (7.0,) and calculator.stack == (3.0, 4.0)
