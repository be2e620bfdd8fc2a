"""ONNX Runtime's C API through ctypes: one session, one float input, one float output."""
import ctypes as C

import numpy as np

_API_VERSION = 17
# Slots of the OrtApi function table, counted from CreateStatus = 0.
_GET_ERROR_MESSAGE, _CREATE_ENV, _CREATE_SESSION, _RUN, _CREATE_SESSION_OPTIONS = 2, 3, 7, 9, 10
_SET_INTRA_OP_THREADS, _CREATE_TENSOR_WITH_DATA, _CREATE_CPU_MEMORY_INFO = 24, 49, 69
_RELEASE_ENV, _RELEASE_STATUS, _RELEASE_MEMORY_INFO, _RELEASE_SESSION, _RELEASE_VALUE = 92, 93, 94, 95, 96
_RELEASE_SESSION_OPTIONS = 100

_P = C.c_void_p
_PP = C.POINTER(C.c_void_p)
_LOG_ERROR, _ARENA_ALLOCATOR, _MEM_DEFAULT, _FLOAT = 3, 1, 0, 1


class _ApiBase(C.Structure):
    _fields_ = [("GetApi", C.CFUNCTYPE(_P, C.c_uint32)), ("GetVersionString", C.CFUNCTYPE(C.c_char_p))]


class OrtError(Exception):
    pass


class Session:
    """A CPU session on one model file; closes everything it made, also when a step fails."""

    def __init__(self, library, model):
        self._lib = C.CDLL(library)
        self._lib.OrtGetApiBase.restype = C.POINTER(_ApiBase)
        api = self._lib.OrtGetApiBase().contents.GetApi(_API_VERSION)
        if not api:
            raise OrtError(f"{library} does not offer API version {_API_VERSION}")
        self._table = C.cast(api, C.POINTER(_P))
        self._release = []
        try:
            self._env = self._create(_CREATE_ENV, _RELEASE_ENV, [C.c_int, C.c_char_p], _LOG_ERROR, b"model_tests")
            options = self._create(_CREATE_SESSION_OPTIONS, _RELEASE_SESSION_OPTIONS, [])
            # One thread: no pool spinning on a machine the other builds share.
            self._call(_SET_INTRA_OP_THREADS, [_P, C.c_int], options, 1)
            self._session = self._create(_CREATE_SESSION, _RELEASE_SESSION, [_P, C.c_char_p, _P],
                                         self._env, str(model).encode(), options)
            self._memory = self._create(_CREATE_CPU_MEMORY_INFO, _RELEASE_MEMORY_INFO, [C.c_int, C.c_int],
                                        _ARENA_ALLOCATOR, _MEM_DEFAULT)
        except BaseException:
            self.close()
            raise

    def _function(self, slot, restype, argtypes):
        return C.CFUNCTYPE(restype, *argtypes)(self._table[slot])

    def _call(self, slot, argtypes, *args):
        status = self._function(slot, _P, argtypes)(*args)
        if status:
            message = self._function(_GET_ERROR_MESSAGE, C.c_char_p, [_P])(status).decode()
            self._function(_RELEASE_STATUS, None, [_P])(status)
            raise OrtError(message)

    def _create(self, slot, release_slot, argtypes, *args):
        """Calls a Create function whose last argument is the out-pointer; releases it on close()."""
        out = _P()
        self._call(slot, argtypes + [_PP], *args, C.byref(out))
        self._release.append((release_slot, out))
        return out

    def _tensor(self, array):
        shape = (C.c_int64 * array.ndim)(*array.shape)
        out = _P()
        self._call(_CREATE_TENSOR_WITH_DATA, [_P, _P, C.c_size_t, _P, C.c_size_t, C.c_int, _PP], self._memory,
                   array.ctypes.data, array.nbytes, shape, array.ndim, _FLOAT, C.byref(out))
        return out

    def run(self, inputs, output_shape):
        """Runs "input" -> "output"; the output lands in a buffer of ours, so no allocator is needed."""
        inputs = np.ascontiguousarray(inputs, np.float32)
        result = np.zeros(output_shape, np.float32)
        values = []
        try:
            values.append(self._tensor(inputs))
            values.append(self._tensor(result))
            names_in, names_out = (C.c_char_p * 1)(b"input"), (C.c_char_p * 1)(b"output")
            self._call(_RUN, [_P, _P, _P, _P, C.c_size_t, _P, C.c_size_t, _P], self._session, None, names_in,
                       (_P * 1)(values[0]), 1, names_out, 1, (_P * 1)(values[1]))
        finally:
            for value in values:
                self._function(_RELEASE_VALUE, None, [_P])(value)
        return result

    def close(self):
        while self._release:
            slot, handle = self._release.pop()
            self._function(slot, None, [_P])(handle)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
