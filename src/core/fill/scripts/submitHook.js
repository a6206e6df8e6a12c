// The submit hook, run in every page before the page's own scripts.
/* global QWebChannel, qt */
// Takes: contract, and the Qt web channel library (QWebChannel,
// qt.webChannelTransport) run before it in the same world. Gives: the
// function that defines window[contract.hook.object][contract.hook.function]
// (form): it listens for the form's submissions and reports each one by
// calling formSubmitted() on the web channel object contract.hook.sink;
// hooking a form again adds nothing. A submission made before the channel
// is up is reported as soon as it is. It answers nothing.

return function () {
    var sink = null;
    var waiting = 0;
    new QWebChannel(qt.webChannelTransport, function (channel) {
        sink = channel.objects[contract.hook.sink];
        for (; waiting > 0; --waiting)
            sink.formSubmitted();
    });
    function reportSubmission() {
        if (sink)
            sink.formSubmitted();
        else
            ++waiting;
    }
    var hooks = {};
    hooks[contract.hook.function] = function (form) {
        // The same listener added twice is still one listener. The
        // prototype's method is used, as a form control named
        // "addEventListener" would hide the form's own.
        EventTarget.prototype.addEventListener.call(form, 'submit', reportSubmission);
    };
    window[contract.hook.object] = hooks;
};
