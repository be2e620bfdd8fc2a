// A plug-in library with nothing of its own: what it exports is what every plug-in built on the
// core exports.
