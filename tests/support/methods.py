"""The vectorised methods of Ellipsoid, as the built module defines them."""

import quorvane.mathtools.ellipsoid.ellipsoid as module

# The methods are the entries of the type's dict whose type the module itself
# defines (its vectorised-method type), in the type's own order; slot wrappers,
# pickling hooks and properties are builtins.
METHODS = tuple(name for name, value in vars(module.Ellipsoid).items() if type(value).__module__ == module.__name__)


def missing(table, *, without=()):
    """Methods that have no entry in `table` and are not named in `without`."""
    return [name for name in METHODS if name not in table and name not in without]
