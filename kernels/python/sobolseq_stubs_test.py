"""The type stubs beside the package say what it has: every public name, each function's
parameters with their defaults, and the marker that tells type checkers to read them."""
import ast
import inspect
import os

import pytest

import sobolseq

_HERE = os.path.dirname(sobolseq.__file__)


def _stub():
    with open(os.path.join(_HERE, "__init__.pyi"), encoding="utf-8") as stub:
        return ast.parse(stub.read())


def _declared(tree):
    """Top-level names the stub declares, with the node declaring each."""
    names = {}
    for node in tree.body:
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            names[node.name] = node
        elif isinstance(node, ast.AnnAssign) and isinstance(node.target, ast.Name):
            names[node.target.id] = node
        elif isinstance(node, ast.Assign):
            for target in node.targets:
                if isinstance(target, ast.Name):
                    names[target.id] = node
    return names


STUB = _declared(_stub())
FUNCTIONS = sorted(name for name in sobolseq.__all__ if inspect.isfunction(getattr(sobolseq, name)))


def test_stub_declares_the_public_names_and_the_version():
    public = {name for name in STUB if not name.startswith("_")}
    assert public == set(sobolseq.__all__)
    assert ast.literal_eval(STUB["__all__"].value) == sobolseq.__all__
    assert "__version__" in STUB
    assert isinstance(sobolseq.__version__, str) and sobolseq.__version__[0].isdigit()
    assert os.path.isfile(os.path.join(_HERE, "py.typed"))


def _stub_parameters(node):
    """(name, kind, default) of each parameter of a stub function."""
    args = node.args
    positional = args.posonlyargs + args.args
    defaults = [inspect.Parameter.empty] * (len(positional) - len(args.defaults))
    defaults += [ast.literal_eval(d) for d in args.defaults]
    params = [(a.arg, inspect.Parameter.POSITIONAL_OR_KEYWORD, d)
              for a, d in zip(positional, defaults)]
    if args.vararg:
        params.append((args.vararg.arg, inspect.Parameter.VAR_POSITIONAL, inspect.Parameter.empty))
    for a, d in zip(args.kwonlyargs, args.kw_defaults):
        params.append((a.arg, inspect.Parameter.KEYWORD_ONLY,
                       inspect.Parameter.empty if d is None else ast.literal_eval(d)))
    return params


@pytest.mark.parametrize("name", FUNCTIONS)
def test_stub_signature_matches_the_function(name):
    assert isinstance(STUB.get(name), ast.FunctionDef), f"{name} is not declared as a function"
    actual = [(p.name, p.kind, p.default)
              for p in inspect.signature(getattr(sobolseq, name)).parameters.values()]
    assert _stub_parameters(STUB[name]) == actual
