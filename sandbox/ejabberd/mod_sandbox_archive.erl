%% What the sandbox's chat server adds to a stock ejabberd: with a "report_url", every message a
%% member sends is posted there (its XML, from and to included) before the server routes it, and
%% the member's stream waits for the answer, so the web service sees the members' traffic in order
%% and can prepare a recipient before delivery. The members' stanzas are left exactly as sent, so a
%% client that forgets a form's type or a marker's store hint fails here as on any other server.
-module(mod_sandbox_archive).
-behaviour(gen_mod).

-export([start/2, stop/1, reload/3, depends/2, mod_opt_type/1, mod_options/1, mod_doc/0]).
-export([user_send_packet/1]).

%% Before the archive's own hook (priority 88) sees the stanza.
-define(PRIORITY, 10).
-define(REPORT_TIMEOUT, 5000).

start(Host, _Opts) ->
    {ok, _} = application:ensure_all_started(inets),
    ejabberd_hooks:add(user_send_packet, Host, ?MODULE, user_send_packet, ?PRIORITY),
    ok.

stop(Host) ->
    ejabberd_hooks:delete(user_send_packet, Host, ?MODULE, user_send_packet, ?PRIORITY),
    ok.

reload(_Host, _NewOpts, _OldOpts) -> ok.
depends(_Host, _Opts) -> [{mod_mam, hard}].
mod_opt_type(report_url) -> econf:binary().
mod_options(_Host) -> [{report_url, <<>>}].
mod_doc() -> #{desc => ["Reports the messages members send to the sandbox."]}.

user_send_packet({Packet, #{lserver := Host} = State}) when element(1, Packet) == message ->
    report(Host, Packet),
    {Packet, State};
user_send_packet(Acc) ->
    Acc.

report(Host, Packet) ->
    case gen_mod:get_module_opt(Host, ?MODULE, report_url) of
        <<>> ->
            ok;
        URL ->
            Body = fxml:element_to_binary(xmpp:encode(Packet)),
            %% A sandbox that does not answer only delays the message.
            httpc:request(post, {binary_to_list(URL), [], "application/xml", Body},
                          [{timeout, ?REPORT_TIMEOUT}], []),
            ok
    end.
